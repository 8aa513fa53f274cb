#include "zip/deflate/Deflater.h"

#include "platform/Exception.h"
#include "zip/deflate/DeflateLazyParse.h"

#include <algorithm>
#include <cstring>

namespace kd {

namespace {

constexpr unsigned WindowBytes = 2 * DeflateWindowSize;

} // namespace

Deflater::Deflater() : window_(std::make_unique<std::uint8_t[]>(WindowBytes + DeflateReadSlack)) {}

Deflater::~Deflater() = default;

// Sets the level hint of the flags and starts the output; returns the level (0-9).
int Deflater::startEntry(int PackLevel, const DeflateWriteFunction& write, DeflateEntry& entry) {
    const int level = std::clamp(PackLevel, 0, 9);
    entry.Flags &= static_cast<std::uint16_t>(~6u);
    if (level == 1 || level == 2)
        entry.Flags |= 4;
    else if (level >= 8)
        entry.Flags |= 2;
    out_.start(write);
    if (level > 0) {
        blockStart_ = 0;
        storedEntry_ = false;
        internalAttributes_ = entry.InternalAttributes;
        trees_.startEntry(level > 2);
    }
    return level;
}

std::uint64_t Deflater::endEntry(DeflateEntry& entry) {
    out_.drain();
    entry.Method = storedEntry_ ? 0 : 8;
    entry.InternalAttributes = internalAttributes_;
    return out_.bytesWritten();
}

std::uint64_t Deflater::DeflateStream(const DeflateReadFunction& read,
                                      const DeflateWriteFunction& write, int PackLevel,
                                      DeflateEntry& entry) {
    const int level = startEntry(PackLevel, write, entry);
    if (level == 0) {
        copyStored(read);
        entry.Method = 0;
        if (entry.InternalAttributes == 2)
            entry.InternalAttributes = 0;
        return out_.bytesWritten();
    }

    matcher_.start(DeflateLevels[level]);
    read_ = &read;
    position_ = 0;
    lookahead_ = 0;
    endOfInput_ = false;

    const std::size_t first = read(window_.get(), DeflateWindowSize);
    if (first > DeflateWindowSize)
        throw Exception("Deflate input function returned more bytes than asked for");
    lookahead_ = static_cast<unsigned>(first);
    endOfInput_ = first == 0;
    if (lookahead_ < DeflateMinLookahead)
        fillWindow();

    flushBlock(deflateLevelIsLazy(level) ? compressLazy() : compressFast(), true);
    read_ = nullptr;
    return endEntry(entry);
}

void Deflater::copyStored(const DeflateReadFunction& read) {
    for (;;) {
        const std::size_t got = read(window_.get(), WindowBytes);
        if (got == 0)
            return;
        if (got > WindowBytes)
            throw Exception("Deflate input function returned more bytes than asked for");
        out_.writeRaw(window_.get(), got);
    }
}

// Reads input until a full lookahead is available or the input ends, first moving
// the upper half of the window down when the position nears its end.
void Deflater::fillWindow() {
    while (!endOfInput_) {
        if (position_ >= DeflateWindowSize + DeflateMaxDistance)
            slideWindow();
        const std::size_t space = WindowBytes - lookahead_ - position_;
        const std::size_t got = (*read_)(window_.get() + position_ + lookahead_, space);
        if (got > space)
            throw Exception("Deflate input function returned more bytes than asked for");
        if (got == 0)
            endOfInput_ = true;
        lookahead_ += static_cast<unsigned>(got);
        if (lookahead_ >= DeflateMinLookahead)
            return;
    }
}

void Deflater::slideWindow() {
    std::uint8_t* const window = window_.get();
    std::memcpy(window, window + DeflateWindowSize, DeflateWindowSize);
    position_ -= DeflateWindowSize;
    blockStart_ -= DeflateWindowSize;
    matcher_.slide();
}

// The compress loops keep the current position and lookahead in locals; this syncs
// them with the window around a fill. Returns false at the end of the input.
bool Deflater::refill(unsigned& position, unsigned& lookahead) {
    position_ = position;
    lookahead_ = lookahead;
    fillWindow();
    position = position_;
    lookahead = lookahead_;
    return lookahead != 0;
}

// Writes the block that ends before position.
void Deflater::flushBlock(unsigned position, bool last) {
    emitBlock(blockStart_ >= 0 ? window_.get() + blockStart_ : nullptr,
              static_cast<std::uint64_t>(position - blockStart_), last);
    blockStart_ = position;
}

// data: the block's input when it is still at hand (a stored block needs it).
void Deflater::emitBlock(const std::uint8_t* data, std::uint64_t size, bool last) {
    if (internalAttributes_ == 2)
        internalAttributes_ = trees_.guessDataType();
    if (trees_.flushBlock(data, size, last, out_))
        storedEntry_ = true;
}

// Where the lazy parse puts its items: the block stage, block by block.
struct Deflater::BlockOutput {
    Deflater& deflater;

    bool literal(std::uint8_t byte, unsigned position) {
        return deflater.trees_.tallyLiteral(byte, position - deflater.blockStart_);
    }
    bool match(unsigned distance, unsigned lengthMinus3, unsigned position) {
        return deflater.trees_.tallyMatch(distance, lengthMinus3, position - deflater.blockStart_);
    }
    void lastLiteral(std::uint8_t byte, unsigned position) { literal(byte, position); }
    void flush(unsigned position) { deflater.flushBlock(position, false); }
    static bool stopAfterMatch(unsigned) { return false; }
};

// The lazy parse reads its window through here.
struct Deflater::WindowInput {
    Deflater& deflater;

    const std::uint8_t* window() const { return deflater.window_.get(); }
    bool refill(unsigned& position, unsigned& lookahead) {
        return deflater.refill(position, lookahead);
    }
};

// Levels 1-3: every match found is taken at once.
unsigned Deflater::compressFast() {
    const std::uint8_t* const window = window_.get();
    const unsigned maxInsert = matcher_.level().maxLazy;
    unsigned position = position_;
    unsigned lookahead = lookahead_;
    for (;;) {
        if (lookahead < DeflateMinLookahead && !refill(position, lookahead))
            break;
        const unsigned head = lookahead >= DeflateMinMatch ? matcher_.insert(window, position) : 0;
        unsigned length = 0;
        if (head != 0 && position - head <= DeflateMaxDistance)
            length = matcher_.longest(window, head, DeflateMinMatch - 1, position, lookahead);
        bool full;
        if (length >= DeflateMinMatch) {
            full = trees_.tallyMatch(position - matcher_.matchStart, length - DeflateMinMatch,
                                     position - blockStart_);
            lookahead -= length;
            if (length <= maxInsert && lookahead >= DeflateMinMatch) {
                for (unsigned i = 1; i < length; ++i)
                    matcher_.insert(window, position + i);
            }
            position += length;
        } else {
            full = trees_.tallyLiteral(window[position], position - blockStart_);
            --lookahead;
            ++position;
        }
        if (full)
            flushBlock(position, false);
    }
    return position;
}

// Levels 4-9: a match is taken only when the next position offers no longer one.
unsigned Deflater::compressLazy() {
    WindowInput input{*this};
    BlockOutput output{*this};
    return parseLazy(matcher_, input, output, position_, lookahead_);
}

} // namespace kd
