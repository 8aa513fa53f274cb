#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Square: a 4x4 byte state (row i = block bytes 4i..4i+3), 8 rounds; nine round keys for
// encryption and the same nine in reverse order for decryption.
struct SquareCore {
    std::uint8_t encryptKeys[9][16];
    std::uint8_t decryptKeys[9][16];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(SquareCore) == 288);

} // namespace kd::cipher
