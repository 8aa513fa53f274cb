#pragma once
#include "zip/deflate/DeflateLevels.h"

#include <cstdint>
#include <memory>

namespace kd {

// Hash chains of the Deflate string matcher: per hash value the latest window position
// whose next three bytes have that hash, and per position the earlier positions with
// the same hash. Each position keeps its next four chain links at once (the first one
// is the classic "previous" link): a search then fetches four candidates per memory
// access instead of chasing one link at a time. Links are only meaningful while the
// positions they lead through are within the match distance; searches stop at the
// first link beyond it, so older entries never matter.
class DeflateChains {
public:
    DeflateChains();

    // Forgets every chain (start of an entry).
    void clear();

    // Links position into the chain of hash; returns the previous head (0 for none).
    unsigned insert(unsigned hash, unsigned position) {
        const unsigned previous = head_[hash];
        links_[position & DeflateWindowMask] =
            (links_[previous & DeflateWindowMask] << 16) | previous;
        head_[hash] = static_cast<std::uint16_t>(position);
        return previous;
    }

    // The four positions after position on its chain, nearest in the low 16 bits.
    std::uint64_t linksOf(unsigned position) const { return links_[position & DeflateWindowMask]; }

    // Moves every position down by the window size; positions that fall below the
    // window become 0 (no position).
    void slide();

private:
    std::unique_ptr<std::uint16_t[]> head_;
    std::unique_ptr<std::uint64_t[]> links_;
};

} // namespace kd
