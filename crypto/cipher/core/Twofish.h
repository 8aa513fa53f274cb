#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Twofish: 40 subkeys and the four key-dependent S-boxes, each already multiplied by its
// column of the MDS matrix. Block and key words little-endian.
struct TwofishCore {
    std::uint32_t subkeys[40];
    std::uint32_t sbox[4][256];

    // Keys up to 16 bytes use the 128-bit schedule, up to 24 the 192-bit one, longer
    // ones the 256-bit one; the key is zero-padded to that length.
    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;

private:
    std::uint32_t g0(std::uint32_t x) const {
        return sbox[0][x & 0xFF] ^ sbox[1][(x >> 8) & 0xFF] ^ sbox[2][(x >> 16) & 0xFF] ^
               sbox[3][x >> 24];
    }
};
static_assert(sizeof(TwofishCore) == 4256);

} // namespace kd::cipher
