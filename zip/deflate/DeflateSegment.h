#pragma once
#include "zip/deflate/DeflateLevels.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace kd {

// The items the lazy parse makes from a stretch of in-memory data, for the parallel
// compressor. A parse that starts in the starting state at a position makes the same
// items from there as the whole-file parse does whenever that one is in the starting
// state at the same position (the hash chains never depend on the parse at the lazy
// levels: every string is linked in).
struct DeflateSegment {
    std::uint64_t Start = 0; // where the parse began
    std::uint64_t End = 0;   // where it stopped: in the starting state, or the data's end
    // (distance << 8) | (length - 3) for a match, the byte for a literal (distance 0).
    std::vector<std::uint32_t> Items;
    // The positions where the parse was in the starting state (Start, and the end of
    // each match), ascending, with the index of the item that begins there.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> Restarts;

    // Index of the item that begins at position when the parse was in the starting
    // state there; -1 otherwise.
    std::int64_t restartAt(std::uint64_t position) const;
};

// Decides, at a position where the parse is in the starting state, whether it ends.
using DeflateSegmentStop = std::function<bool(std::uint64_t position)>;

// Parses data[from, size) at a lazy level (4-9) from the starting state until stopAt
// says so or the data ends. data must be followed by DeflateReadSlack readable bytes.
// The parse looks at cancelled every window move and stops early when it says so; the
// result is then of no use. The result is made in the memory of reuse, a segment done
// with, so that a run of parses does not ask the system for fresh pages each time.
DeflateSegment parseDeflateSegment(int level, const std::uint8_t* data, std::uint64_t size,
                                   std::uint64_t from, const DeflateSegmentStop& stopAt,
                                   const std::function<bool()>& cancelled,
                                   DeflateSegment reuse = {});

} // namespace kd
