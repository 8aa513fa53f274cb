#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The traditional ZIP encryption: three 32-bit keys driven by the plain bytes.
// One object serves one entry at a time, for reading or for writing.
class ZipCrypt {
public:
    static constexpr std::size_t kHeaderSize = 12;
    using Header = std::array<std::uint8_t, kHeaderSize>;

    // Sets the initial keys and runs every byte of the password through them.
    void InitCipherKeys(std::string_view password);
    void UpdateCipherKeys(std::uint8_t plain);
    // The key-stream byte for the next data byte.
    std::uint8_t DecryptByte() const;
    void DecryptBuffer(std::uint8_t* data, std::size_t count);
    void EncryptBuffer(std::uint8_t* data, std::size_t count);

    // Initialises the keys from the password and decrypts the 12-byte encryption
    // header in front of an entry's data; returns its last byte, to compare with
    // ExpectedCheckByte. The keys then stand ready for the entry's data.
    std::uint8_t DecryptHeader(std::string_view password, Header header);

    // For the writer: initialises the keys from the password and returns the
    // encrypted header of 10 random bytes (from the system's random source)
    // followed by `checkWord`, low byte first. The keys then stand ready for
    // EncryptBuffer.
    Header CreateEncryptionHeader(std::string_view password, std::uint16_t checkWord);

    // The two bytes the header ends with, low byte first: the entry's DOS time when
    // the sizes follow the data (flag bit 3), else the high 16 bits of its CRC.
    // Some readers test both bytes.
    static std::uint16_t CheckWord(unsigned flags, std::uint32_t crc32, std::uint16_t dosTime);
    // The last of them, the one every reader tests.
    static std::uint8_t ExpectedCheckByte(unsigned flags, std::uint32_t crc32,
                                          std::uint16_t dosTime);

private:
    std::array<std::uint32_t, 3> keys_{};
};

// The byte strings to try as the password typed in UTF-8: archives of the original
// program used Windows-1250 bytes, so those come first when they differ from the
// UTF-8 bytes and every character has one; then the UTF-8 bytes.
std::vector<std::string> CipherPasswordCandidates(std::string_view utf8);

} // namespace kd
