#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::snefru {

inline constexpr std::size_t kBlockSize = 32;
inline constexpr std::size_t kChainSize = 32;

// The standard S-boxes (see SnefruSBoxes.cpp).
extern const std::uint32_t kSBoxes[16][256];

// Merkle's Snefru-256 compression with 8 passes: each 32-byte block joins the 32-byte
// chaining value in a 16-word working block, which is mixed and folded back into the
// chaining value. Chaining value and blocks are big-endian words, as in the standard's
// digests.
void Compress(std::uint8_t* chain, const std::uint8_t* blocks, std::size_t count);

} // namespace kd::snefru
