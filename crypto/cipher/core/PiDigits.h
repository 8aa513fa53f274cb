#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kd::cipher {

// The first `count` 32-bit words of the binary fraction of pi (0x243F6A88, 0x85A308D3,
// ...), computed once per count by Machin's formula in fixed point and kept.
const std::vector<std::uint32_t>& piFractionWords(std::size_t count);

} // namespace kd::cipher
