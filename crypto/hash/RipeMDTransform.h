#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::ripemd {

// The RIPEMD compression functions over whole 64-byte blocks (little-endian words).
// The chaining value has 4, 5, 8 or 10 words for the 128, 160, 256 and 320-bit
// versions; `blocks` blocks are read from `data` one after the other.
void Compress128(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks);
void Compress160(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks);
void Compress256(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks);
void Compress320(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks);

} // namespace kd::ripemd
