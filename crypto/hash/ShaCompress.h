#pragma once
// The compression functions of SHA and SHA-1 on five native-order words, one 64-byte
// block at a time. SHA-1 has a form for processors with the SHA instructions, chosen
// once when first used; both forms give the same words.
#include <cstdint>

namespace kd::sha_detail {

void CompressPortable(std::uint32_t state[5], const std::uint8_t* block, bool rotate);
// Needs the SHA instructions (ShaInstructionsAvailable).
void CompressSha1Instructions(std::uint32_t state[5], const std::uint8_t* block);
bool ShaInstructionsAvailable();
// SHA-1 by the fastest form available.
void CompressSha1(std::uint32_t state[5], const std::uint8_t* block);

} // namespace kd::sha_detail
