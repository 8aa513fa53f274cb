#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// TEA and its extended form (XTEA): four key words and the block's two words in
// little-endian memory order; the cycle count (16..32) is fixed at key setup.
struct TeaCore {
    static constexpr std::uint32_t kDelta = 0x9E3779B9;

    std::uint32_t key[4];
    std::uint32_t cycles;
    std::uint32_t extended; // 1 for XTEA
    std::uint32_t unused[2];

    // Cycle counts below 16 become 16, above 32 become 32.
    void setKey(const std::uint8_t* bytes, std::size_t length, int cycleCount, bool xtea);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(TeaCore) == 32);

} // namespace kd::cipher
