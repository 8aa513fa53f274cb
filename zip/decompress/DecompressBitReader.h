#pragma once
#include "zip/decompress/DecompressIO.h"

#include <array>
#include <cstdint>

namespace kd {

// Reads bits least significant first from a decoder's input, for the older ZIP
// methods (shrink, reduce, implode).
class DecompressBitReader {
public:
    explicit DecompressBitReader(DecompressInput& input) : input_(input) {}

    // The next `count` bits (at most 24); throws EBadCompressedData when the data
    // ends first.
    std::uint32_t Get(unsigned count);
    // Like Get, but answers false (taking nothing) when the data ends first.
    bool TryGet(unsigned count, std::uint32_t& value);

private:
    bool Need(unsigned count);

    DecompressInput& input_;
    std::array<std::uint8_t, 8192> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint32_t bits_ = 0;
    unsigned count_ = 0;
};

} // namespace kd
