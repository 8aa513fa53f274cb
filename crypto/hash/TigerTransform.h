#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kd::tiger {

// Tiger's four S-boxes of 256 64-bit words each, one after the other.
using SBoxes = std::array<std::uint64_t, 4 * 256>;

// The S-boxes, generated at first use (see TigerSBoxes.cpp).
const SBoxes& Boxes();

// Compresses `blocks` 64-byte blocks (little-endian words) into the three chaining
// words, with `passes` passes (3 or more) over each block, using `boxes`.
void Compress(std::uint64_t* chain, const std::uint8_t* data, std::size_t blocks, int passes,
              const SBoxes& boxes);

inline void Compress(std::uint64_t* chain, const std::uint8_t* data, std::size_t blocks,
                     int passes) {
    Compress(chain, data, blocks, passes, Boxes());
}

} // namespace kd::tiger
