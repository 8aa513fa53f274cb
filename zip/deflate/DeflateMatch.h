#pragma once
#include "zip/deflate/DeflateChains.h"
#include "zip/deflate/DeflateLevels.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace kd {

// One longest-match search of the Deflate compressor: walks the hash chain from a
// candidate and keeps the longest match with the string at position.
//
// A match longer than the best so far agrees with the string in bytes 0..best, so a
// candidate is compared in full only when the (up to) eight bytes ending at byte best
// agree, and its first two. Comparisons load whole words and may read up to a match
// length plus one word past the data: the window keeps that much readable slack.
class DeflateMatchSearch {
public:
    // limit: candidates at or below it are too far back; nice: a match this long ends
    // the search; best/bestStart: the match to beat (its length is at least 2).
    DeflateMatchSearch(const std::uint8_t* window, unsigned position, unsigned limit, unsigned nice,
                       unsigned best, unsigned bestStart)
        : window_(window), scan_(window + position), limit_(limit), nice_(nice), best_(best),
          bestStart_(bestStart), scanStart_(load16(scan_)) {
        setEnd();
    }

    // Checks candidate and at most chain - 1 further ones along its chain.
    void run(const DeflateChains& chains, unsigned candidate, unsigned chain) {
        for (;;) {
            const std::uint64_t links = chains.linksOf(candidate);
            if (check(candidate))
                return;
            for (unsigned lane = 0; lane < 64; lane += 16) {
                candidate = (links >> lane) & 0xFFFF;
                if (candidate <= limit_ || --chain == 0)
                    return;
                if (lane < 48 && check(candidate))
                    return;
            }
        }
    }

    unsigned best() const { return best_; }
    unsigned bestStart() const { return bestStart_; }

private:
    // Returns true when the candidate ends the search.
    [[gnu::always_inline]] bool check(unsigned candidate) {
        const std::uint8_t* const match = window_ + candidate;
        if (((load64(match + endOffset_) ^ scanEnd_) & endMask_) != 0 ||
            load16(match) != scanStart_)
            return false;
        const unsigned length = commonLength(scan_, match);
        if (length <= best_)
            return false;
        bestStart_ = candidate;
        best_ = length;
        if (length >= nice_)
            return true;
        setEnd();
        return false;
    }

    void setEnd() {
        endOffset_ = best_ >= 7 ? best_ - 7 : 0;
        endMask_ = best_ >= 7 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (best_ + 1))) - 1;
        scanEnd_ = load64(scan_ + endOffset_);
    }

    static std::uint16_t load16(const std::uint8_t* p) {
        std::uint16_t value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }

    // Eight bytes, the first one lowest.
    static std::uint64_t load64(const std::uint8_t* p) {
        std::uint64_t value;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, p, sizeof value);
        } else {
            value = 0;
            for (int i = 7; i >= 0; --i)
                value = (value << 8) | p[i];
        }
        return value;
    }

    // Length of the common prefix, at most the maximum match; the first two bytes are
    // known to agree.
    [[gnu::always_inline]] static unsigned commonLength(const std::uint8_t* a,
                                                        const std::uint8_t* b) {
        unsigned length = 2;
        do {
            const std::uint64_t difference = load64(a + length) ^ load64(b + length);
            if (difference != 0)
                return std::min(length + (static_cast<unsigned>(std::countr_zero(difference)) >> 3),
                                DeflateMaxMatch);
            length += 8;
        } while (length < DeflateMaxMatch);
        return DeflateMaxMatch;
    }

    const std::uint8_t* const window_;
    const std::uint8_t* const scan_;
    const unsigned limit_;
    const unsigned nice_;
    unsigned best_;
    unsigned bestStart_;
    const std::uint16_t scanStart_;
    unsigned endOffset_ = 0;
    std::uint64_t endMask_ = 0;
    std::uint64_t scanEnd_ = 0;
};

} // namespace kd
