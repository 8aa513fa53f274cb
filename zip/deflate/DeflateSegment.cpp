#include "zip/deflate/DeflateSegment.h"

#include "zip/deflate/DeflateLazyParse.h"

#include <algorithm>

namespace kd {

std::int64_t DeflateSegment::restartAt(std::uint64_t position) const {
    const auto found = std::lower_bound(Restarts.begin(), Restarts.end(), position,
                                        [](const std::pair<std::uint64_t, std::uint32_t>& r,
                                           std::uint64_t p) { return r.first < p; });
    if (found == Restarts.end() || found->first != position)
        return -1;
    return found->second;
}

namespace {

// The window over data already in memory: moving it down is moving a pointer. It
// moves when the streaming compressor's would, so positions stay within 16 bits.
class MemoryWindow {
public:
    MemoryWindow(const std::uint8_t* data, std::uint64_t size, std::uint64_t base,
                 DeflateMatcher& matcher, const std::function<bool()>& cancelled)
        : data_(data), size_(size), base_(base), matcher_(matcher), cancelled_(cancelled) {}

    const std::uint8_t* window() const { return data_ + base_; }
    std::uint64_t absolute(unsigned position) const { return base_ + position; }

    // As many bytes ahead as the streaming window would hold.
    unsigned lookaheadAt(unsigned position) const {
        return static_cast<unsigned>(
            std::min<std::uint64_t>(size_ - (base_ + position), 2 * DeflateWindowSize - position));
    }

    bool refill(unsigned& position, unsigned& lookahead) {
        if (position >= DeflateWindowSize + DeflateMaxDistance) {
            if (cancelled_())
                return false;
            base_ += DeflateWindowSize;
            position -= DeflateWindowSize;
            matcher_.slide();
        }
        lookahead = lookaheadAt(position);
        return lookahead != 0;
    }

private:
    const std::uint8_t* const data_;
    const std::uint64_t size_;
    std::uint64_t base_;
    DeflateMatcher& matcher_;
    const std::function<bool()>& cancelled_;
};

// Keeps the items and the restarts; never ends a block (the replay does that).
struct SegmentRecorder {
    DeflateSegment& segment;
    const MemoryWindow& window;
    const DeflateSegmentStop& stopAt;

    bool literal(std::uint8_t byte, unsigned) {
        segment.Items.push_back(byte);
        return false;
    }
    bool match(unsigned distance, unsigned lengthMinus3, unsigned) {
        segment.Items.push_back((distance << 8) | lengthMinus3);
        return false;
    }
    void lastLiteral(std::uint8_t byte, unsigned position) { literal(byte, position); }
    static void flush(unsigned) {}
    bool stopAfterMatch(unsigned position) {
        const std::uint64_t at = window.absolute(position);
        segment.Restarts.emplace_back(at, static_cast<std::uint32_t>(segment.Items.size()));
        return stopAt(at);
    }
};

} // namespace

DeflateSegment parseDeflateSegment(int level, const std::uint8_t* data, std::uint64_t size,
                                   std::uint64_t from, const DeflateSegmentStop& stopAt,
                                   const std::function<bool()>& cancelled,
                                   DeflateSegment reuse) {
    DeflateSegment segment = std::move(reuse);
    segment.Items.clear();
    segment.Restarts.clear();
    segment.Start = from;
    segment.Restarts.emplace_back(from, 0);
    DeflateMatcher matcher;
    matcher.start(DeflateLevels[std::clamp(level, 4, 9)]);
    // The window starts a window's size back, so that everything within reach is
    // linked in as the whole-file parse has it; position 0 stands for "none" there too.
    const std::uint64_t base = from > DeflateWindowSize ? from - DeflateWindowSize : 0;
    MemoryWindow window(data, size, base, matcher, cancelled);
    const auto start = static_cast<unsigned>(from - base);
    const std::uint64_t lastHashed = size >= DeflateMinMatch ? size - DeflateMinMatch : 0;
    for (unsigned p = 0; p < start && base + p <= lastHashed; ++p)
        matcher.insert(window.window(), p);
    SegmentRecorder recorder{segment, window, stopAt};
    const unsigned end = parseLazy(matcher, window, recorder, start, window.lookaheadAt(start));
    segment.End = window.absolute(end);
    return segment;
}

} // namespace kd
