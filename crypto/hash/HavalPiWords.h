#pragma once
#include <array>
#include <cstdint>

namespace kd::haval {

// The first 136 32-bit words of the fraction of pi (0x243F6A88, 0x85A308D3, ...):
// HAVAL's initial value (words 0-7) and its round constants (32 words per pass from
// the second pass on).
const std::array<std::uint32_t, 136>& PiFractionWords();

} // namespace kd::haval
