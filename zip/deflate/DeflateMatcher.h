#pragma once
#include "zip/deflate/DeflateChains.h"
#include "zip/deflate/DeflateLevels.h"
#include "zip/deflate/DeflateMatch.h"

#include <algorithm>
#include <cstdint>

namespace kd {

// The string matcher of the Deflate compressor: the hash chains of a window and the
// longest-match search of one level. Positions are window positions; whoever moves
// the window down calls slide().
class DeflateMatcher {
public:
    void start(const DeflateLevel& level) {
        level_ = level;
        chains_.clear();
        matchStart = 0;
    }

    const DeflateLevel& level() const { return level_; }

    // Links the string at position into its hash chain; returns the previous chain head.
    [[gnu::always_inline]] unsigned insert(const std::uint8_t* window, unsigned position) {
        const std::uint8_t* p = window + position;
        // ((b0 << 10) ^ (b1 << 5) ^ b2) over 15 bits: each byte shifted in by 5 bits.
        const unsigned hash =
            ((unsigned{p[0]} << 10) ^ (unsigned{p[1]} << 5) ^ p[2]) & DeflateHashMask;
        return chains_.insert(hash, position);
    }

    // Follows the hash chain from candidate for the longest match at position that is
    // longer than prevLength; sets matchStart when it finds one. The result never
    // exceeds the lookahead.
    unsigned longest(const std::uint8_t* window, unsigned candidate, unsigned prevLength,
                     unsigned position, unsigned lookahead) {
        unsigned chain = level_.maxChain;
        if (prevLength >= level_.goodLength)
            chain >>= 2;
        DeflateMatchSearch search(window, position,
                                  position > DeflateMaxDistance ? position - DeflateMaxDistance : 0,
                                  std::min<unsigned>(level_.niceLength, lookahead),
                                  std::max(prevLength, DeflateMinMatch - 1), matchStart);
        search.run(chains_, candidate, chain);
        matchStart = search.bestStart();
        return std::min(search.best(), lookahead);
    }

    // The window moved down by its size.
    void slide() {
        matchStart -= DeflateWindowSize;
        chains_.slide();
    }

    unsigned matchStart = 0; // start of the last match found

private:
    DeflateLevel level_{};
    DeflateChains chains_;
};

} // namespace kd
