#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Q128: four 32-bit words per block (little-endian memory order), 16 rounds of four key
// words each, driven by a fixed table of 1024 words.
struct Q128Core {
    std::uint32_t roundKeys[16][4];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(Q128Core) == 256);

} // namespace kd::cipher
