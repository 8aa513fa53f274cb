#pragma once
#include <cstdint>
#include <optional>
#include <span>

namespace kd {

// The first bit in [from, to) of data where a block with its own Huffman codes could
// begin: a block that is not the stream's last, with code counts in range and a
// complete code-length code. Most bits that pass are real block starts; decoding on
// from one tells the rest. Bits whose header would run past the data are not looked at.
std::optional<std::uint64_t> FindDynamicBlock(std::span<const std::uint8_t> data,
                                              std::uint64_t from, std::uint64_t to);

} // namespace kd
