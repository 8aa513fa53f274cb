#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// 3-Way: three 32-bit words per block, 11 rounds. Holds the encryption key, the
// decryption key (theta and mu of the first) and both round-constant sequences.
struct ThreeWayCore {
    std::uint32_t encryptKey[3];
    std::uint32_t decryptKey[3];
    std::uint32_t encryptConst[12];
    std::uint32_t decryptConst[12];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(ThreeWayCore) == 120);

} // namespace kd::cipher
