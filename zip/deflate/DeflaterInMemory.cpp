// Data already in memory, compressed on several threads. Segments of it are parsed
// ahead on helper threads; the calling thread joins them into the one parse the
// streaming compressor makes (where a segment's parse went another way, it parses on
// from the point where the two agree until they meet again) and feeds the items to the
// block stage on the streaming window's schedule, so that blocks and bytes are the same.
#include "zip/deflate/Deflater.h"

#include "zip/deflate/DeflateSegmentQueue.h"

#include <algorithm>
#include <cstring>

namespace kd {

namespace {

[[noreturn]] void canceled() {
    throw EDeflateCanceled("Compression cancelled");
}

} // namespace

// Feeds parsed items to the block stage as the streaming compressor's parse does:
// blocks end where its tally ends them, and a block's bytes count as at hand only while
// its window would still hold them, so the stored-or-not choices agree as well.
struct Deflater::ItemReplay {
    Deflater& deflater;
    const std::uint8_t* const data;
    const std::uint64_t size;
    const std::function<void(std::size_t)>& onRead;
    std::uint64_t position = 0;   // where the next item begins
    std::uint64_t blockStart = 0; // first byte of the current block
    std::uint64_t base = 0;       // data position of the streaming window's start
    std::uint64_t filled = 0;     // data read into the streaming window so far
    bool ended = false;           // the streaming read met the end of the data

    void start() {
        filled = std::min<std::uint64_t>(size, DeflateWindowSize);
        if (filled > 0)
            onRead(static_cast<std::size_t>(filled));
        ended = filled == 0;
        reachIteration(0);
    }

    // The streaming parse's loop at position: when little is ahead, its window is
    // refilled, and first moved down when the position nears its end.
    void reachIteration(std::uint64_t at) {
        if (ended || filled - at >= DeflateMinLookahead)
            return;
        for (;;) {
            if (at - base >= DeflateWindowSize + DeflateMaxDistance)
                base += DeflateWindowSize;
            const std::uint64_t got =
                std::min(base + 2 * DeflateWindowSize - filled, size - filled);
            if (got == 0) {
                ended = true;
                return;
            }
            onRead(static_cast<std::size_t>(got));
            filled += got;
            if (filled - at >= DeflateMinLookahead)
                return;
        }
    }

    // An item is tallied in the loop turn after its first byte's.
    void item(std::uint32_t item) {
        const unsigned distance = item >> 8;
        const unsigned low = item & 0xFF;
        reachIteration(position);
        reachIteration(position + 1);
        const auto blockInput = static_cast<std::int64_t>(position + 1 - blockStart);
        const bool full =
            distance != 0
                ? deflater.trees_.tallyMatch(distance, low, blockInput)
                : deflater.trees_.tallyLiteral(static_cast<std::uint8_t>(low), blockInput);
        position += distance != 0 ? low + DeflateMinMatch : 1;
        // A literal at the very end is tallied after the loop, where no block ends.
        if (full && (distance != 0 || position != size))
            flush(false);
    }

    void flush(bool last) {
        deflater.emitBlock(blockStart >= base ? data + blockStart : nullptr, position - blockStart,
                           last);
        blockStart = position;
    }

    void finish() {
        reachIteration(size);
        flush(true);
    }
};

std::uint64_t Deflater::DeflateInMemory(const std::uint8_t* data, std::uint64_t size, int PackLevel,
                                        int threads, const DeflateWriteFunction& write,
                                        DeflateEntry& entry,
                                        const std::function<void(std::size_t)>& onRead,
                                        const std::atomic<bool>& cancel) {
    if (!deflateLevelIsLazy(std::clamp(PackLevel, 0, 9)) || threads <= 1 ||
        size < 2 * segmentSize_) {
        std::uint64_t taken = 0;
        const DeflateReadFunction read = [&](std::uint8_t* buffer, std::size_t wanted) {
            if (cancel.load(std::memory_order_relaxed))
                canceled();
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size - taken));
            std::memcpy(buffer, data + taken, n);
            taken += n;
            if (n > 0)
                onRead(n);
            return n;
        };
        return DeflateStream(read, write, PackLevel, entry);
    }
    const int level = startEntry(PackLevel, write, entry);
    replaySegments(data, size, level, threads, onRead, cancel);
    return endEntry(entry);
}

void Deflater::replaySegments(const std::uint8_t* data, std::uint64_t size, int level, int threads,
                              const std::function<void(std::size_t)>& onRead,
                              const std::atomic<bool>& cancel) {
    DeflateSegmentQueue queue(level, data, size, threads, segmentSize_, helperRank_, cancel);
    const std::function<bool()> cancelled = [&] { return cancel.load(std::memory_order_relaxed); };
    ItemReplay replay{*this, data, size, onRead};
    replay.start();
    std::uint64_t at = 0; // the joined parse is in its starting state here
    std::size_t index = 0;
    DeflateSegment joining;
    while (at < size) {
        while (index + 1 < queue.count() && queue.startOf(index + 1) <= at)
            ++index;
        const DeflateSegment& segment = queue.take(index);
        if (cancelled())
            canceled();
        if (const std::int64_t from = segment.restartAt(at); from >= 0) {
            for (std::size_t i = static_cast<std::size_t>(from); i < segment.Items.size(); ++i)
                replay.item(segment.Items[i]);
            at = segment.End;
            continue;
        }
        joining = parseDeflateSegment(
            level, data, size, at,
            [&](std::uint64_t p) { return p >= segment.End || segment.restartAt(p) >= 0; },
            cancelled, std::move(joining));
        if (cancelled())
            canceled();
        for (const std::uint32_t item : joining.Items)
            replay.item(item);
        at = joining.End;
    }
    replay.finish();
}

} // namespace kd
