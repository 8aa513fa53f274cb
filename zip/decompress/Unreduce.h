#pragma once
#include "zip/decompress/DecompressIO.h"

#include <cstdint>

namespace kd {

// Decodes ZIP methods 2 to 5 (reduce with compression factor 1 to 4: follower
// sets, then runs introduced by byte 144) until `size` bytes are produced.
// Malformed or short data raises EBadCompressedData.
void Unreduce(DecompressInput& input, DecompressOutput& output, std::uint64_t size,
              unsigned factor);

} // namespace kd
