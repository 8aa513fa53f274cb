#pragma once
#include "zip/decompress/DecompressIO.h"

namespace kd {

// Decodes ZIP method 1 (shrink: LZW with 9- to 13-bit codes, code-size increases
// and partial clears) until the input ends. Malformed data raises
// EBadCompressedData.
void Unshrink(DecompressInput& input, DecompressOutput& output);

} // namespace kd
