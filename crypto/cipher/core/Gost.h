#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// GOST 28147-89 with the S-boxes of the GOST R 34.11-94 test parameter set. The key is
// eight little-endian words; a block is two little-endian words, the first being N1.
struct GostCore {
    std::uint32_t key[8];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(GostCore) == 32);

} // namespace kd::cipher
