#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Square: a 4x4 byte state (row i = block bytes 4i..4i+3, held as a little-endian word),
// 8 rounds. The nine round keys are stored once for encryption and once, in reverse
// order, for decryption, each already carried through the row mixing where the rounds
// need it, so that a round costs sixteen table look-ups.
struct SquareCore {
    std::uint32_t encryptKeys[9][4];
    std::uint32_t decryptKeys[9][4];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(SquareCore) == 288);

} // namespace kd::cipher
