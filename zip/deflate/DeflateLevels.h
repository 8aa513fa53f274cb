#pragma once
#include <cstdint>

namespace kd {

// Fixed sizes of the Deflate compressor.
inline constexpr unsigned DeflateWindowSize = 32768; // distance window
inline constexpr unsigned DeflateWindowMask = DeflateWindowSize - 1;
inline constexpr unsigned DeflateHashSize = 32768; // 15-bit hash
inline constexpr unsigned DeflateHashMask = DeflateHashSize - 1;
inline constexpr unsigned DeflateMinMatch = 3;
inline constexpr unsigned DeflateMaxMatch = 258;
inline constexpr unsigned DeflateMinLookahead = DeflateMaxMatch + DeflateMinMatch + 1;
inline constexpr unsigned DeflateMaxDistance = DeflateWindowSize - DeflateMinLookahead;
// Match comparison reads up to a whole match length, plus one word, past the data.
inline constexpr unsigned DeflateReadSlack = DeflateMaxMatch + 16;
// A 3-byte match further back than this costs more than three literals.
inline constexpr unsigned DeflateTooFar = 4096;

// Search parameters of one compression level.
struct DeflateLevel {
    std::uint16_t goodLength; // a previous match this long quarters the chain search
    std::uint16_t maxLazy;    // lazy levels: no new search after a match this long;
                              // fast levels: longest match whose strings are all hashed
    std::uint16_t niceLength; // a match this long ends the search
    std::uint16_t maxChain;   // hash-chain links followed per search
};

inline constexpr DeflateLevel DeflateLevels[10] = {
    {0, 0, 0, 0},         {4, 4, 8, 4},         {4, 5, 16, 8},     {4, 6, 32, 32},
    {4, 4, 16, 16},       {8, 16, 32, 32},      {8, 16, 128, 128}, {8, 32, 128, 256},
    {32, 128, 258, 1024}, {32, 258, 258, 4096},
};

// Levels 1-3 emit the longest match at once; 4-9 look one position ahead first.
inline constexpr bool deflateLevelIsLazy(int level) {
    return level >= 4;
}

} // namespace kd
