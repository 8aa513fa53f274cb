#pragma once
#include "zip/decompress/DecompressBitReader.h"

#include <array>
#include <cstdint>

namespace kd {

// One Shannon-Fano tree of the implode method: read from its compressed list of
// code lengths, decoded a bit at a time. The format's codes are the one's
// complement of canonical codes for the same lengths (ties in symbol order).
class ExplodeTree {
public:
    static constexpr unsigned kMaxLength = 16;

    // Reads the tree of `symbols` codes (256 or 64). A list that does not add up
    // to the code count, or lengths that over-fill the code space, raise
    // EBadCompressedData.
    ExplodeTree(DecompressBitReader& reader, unsigned symbols);

    unsigned Decode(DecompressBitReader& reader) const;

private:
    std::array<std::uint16_t, kMaxLength + 1> counts_{};
    std::array<std::uint16_t, 256> symbols_{};
};

} // namespace kd
