#pragma once
#include <cstddef>
#include <cstdint>

// The two CRC-32 kernels behind Crc32Update, open to tests so that both are checked.
// They work on the raw register (no inversion).
namespace kd::crc32_detail {

std::uint32_t updatePortable(std::uint32_t reg, const std::uint8_t* data, std::size_t length);

// True when this processor can run updateClmul.
bool clmulAvailable();
std::uint32_t updateClmul(std::uint32_t reg, const std::uint8_t* data, std::size_t length);

} // namespace kd::crc32_detail
