#pragma once
#include <cstdint>

namespace kd {

// Huffman code construction for Deflate blocks.

// Computes code lengths of at most maxBits for the symbols 0..count-1 from their
// frequencies (count <= 288). Unused symbols get length 0. When fewer than two symbols
// occur, one or two unused symbols get a 1-bit code too, so that every code is complete
// (strict decoders reject incomplete codes). Returns one past the last symbol with a
// non-zero length.
unsigned buildCodeLengths(const std::uint32_t* frequencies, unsigned count, unsigned maxBits,
                          std::uint8_t* lengths);

// Reverses the low `bits` bits of code (Deflate sends Huffman codes from the top bit).
constexpr std::uint16_t reverseBits(unsigned code, unsigned bits) {
    unsigned result = 0;
    for (unsigned i = 0; i < bits; ++i, code >>= 1)
        result = (result << 1) | (code & 1);
    return static_cast<std::uint16_t>(result);
}

// Canonical codes for the given lengths (at most 15 bits), already bit-reversed for
// least-significant-bit-first output.
constexpr void buildCodes(const std::uint8_t* lengths, unsigned count, std::uint16_t* codes) {
    unsigned lengthCount[16] = {};
    for (unsigned i = 0; i < count; ++i)
        ++lengthCount[lengths[i]];
    lengthCount[0] = 0;
    unsigned next[16] = {};
    unsigned code = 0;
    for (unsigned bits = 1; bits < 16; ++bits) {
        code = (code + lengthCount[bits - 1]) << 1;
        next[bits] = code;
    }
    for (unsigned i = 0; i < count; ++i)
        codes[i] = lengths[i] == 0 ? 0 : reverseBits(next[lengths[i]]++, lengths[i]);
}

} // namespace kd
