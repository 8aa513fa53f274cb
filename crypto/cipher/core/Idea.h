#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// IDEA: 52 encryption subkeys followed by the 52 decryption subkeys; block words and key
// words big-endian.
struct IdeaCore {
    std::uint16_t encryptKeys[52];
    std::uint16_t decryptKeys[52];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const { crypt(block, encryptKeys); }
    void decrypt(std::uint8_t* block) const { crypt(block, decryptKeys); }

private:
    static void crypt(std::uint8_t* block, const std::uint16_t* keys);
};
static_assert(sizeof(IdeaCore) == 208);

} // namespace kd::cipher
