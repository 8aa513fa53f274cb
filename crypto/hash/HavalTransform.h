#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::haval {

// Compresses `blocks` 128-byte blocks (little-endian words) into the eight chaining
// words with 3, 4 or 5 passes.
using Compress = void (*)(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks);

// The compression for a pass count of 3, 4 or 5.
Compress CompressFor(int passes);

// Folds the 256-bit chaining value to `digestBytes` (16, 20, 24, 28 or 32) as the
// standard defines; the result is in the leading words.
void Fold(std::uint32_t* chain, std::size_t digestBytes);

} // namespace kd::haval
