#pragma once
#include "zip/decompress/DecompressIO.h"

#include <cstdint>

namespace kd {

// Decodes ZIP method 6 (implode) until `size` bytes are produced. Bit 1 of the
// entry's general-purpose `flags` selects the 8 KB dictionary, bit 2 the literal
// tree. Malformed or short data raises EBadCompressedData.
void Explode(DecompressInput& input, DecompressOutput& output, std::uint64_t size, unsigned flags);

} // namespace kd
