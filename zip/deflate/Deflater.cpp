#include "zip/deflate/Deflater.h"

#include "platform/Exception.h"
#include "zip/deflate/DeflateChains.h"
#include "zip/deflate/DeflateMatch.h"

#include <algorithm>
#include <cstring>

namespace kd {

namespace {

constexpr unsigned WindowBytes = 2 * DeflateWindowSize;
// Match comparison reads up to a whole match length, plus one word, past the data.
constexpr unsigned WindowSlack = DeflateMaxMatch + 16;

// The hash of three bytes: ((b0 << 10) ^ (b1 << 5) ^ b2) over 15 bits, the same value
// as shifting each byte in by 5 bits.
[[gnu::always_inline]] inline unsigned hashAt(const std::uint8_t* p) {
    return ((unsigned{p[0]} << 10) ^ (unsigned{p[1]} << 5) ^ p[2]) & DeflateHashMask;
}

} // namespace

Deflater::Deflater() : window_(std::make_unique<std::uint8_t[]>(WindowBytes + WindowSlack)) {}

Deflater::~Deflater() = default;

std::uint64_t Deflater::DeflateStream(const DeflateReadFunction& read,
                                      const DeflateWriteFunction& write, int PackLevel,
                                      DeflateEntry& entry) {
    const int level = std::clamp(PackLevel, 0, 9);
    entry.Flags &= static_cast<std::uint16_t>(~6u);
    if (level == 1 || level == 2)
        entry.Flags |= 4;
    else if (level >= 8)
        entry.Flags |= 2;
    out_.start(write);
    if (level == 0) {
        copyStored(read);
        entry.Method = 0;
        if (entry.InternalAttributes == 2)
            entry.InternalAttributes = 0;
        return out_.bytesWritten();
    }

    level_ = DeflateLevels[level];
    chains_.clear();
    read_ = &read;
    position_ = 0;
    lookahead_ = 0;
    matchStart_ = 0;
    blockStart_ = 0;
    endOfInput_ = false;
    storedEntry_ = false;
    internalAttributes_ = entry.InternalAttributes;
    trees_.startEntry(level > 2);

    const std::size_t first = read(window_.get(), DeflateWindowSize);
    if (first > DeflateWindowSize)
        throw Exception("Deflate input function returned more bytes than asked for");
    lookahead_ = static_cast<unsigned>(first);
    endOfInput_ = first == 0;
    if (lookahead_ < DeflateMinLookahead)
        fillWindow();

    flushBlock(deflateLevelIsLazy(level) ? compressLazy() : compressFast(), true);
    out_.drain();

    entry.Method = storedEntry_ ? 0 : 8;
    entry.InternalAttributes = internalAttributes_;
    read_ = nullptr;
    return out_.bytesWritten();
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
    matchStart_ -= DeflateWindowSize;
    position_ -= DeflateWindowSize;
    blockStart_ -= DeflateWindowSize;
    chains_.slide();
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
    const std::uint8_t* data = blockStart_ >= 0 ? window_.get() + blockStart_ : nullptr;
    if (internalAttributes_ == 2)
        internalAttributes_ = trees_.guessDataType();
    if (trees_.flushBlock(data, static_cast<std::uint64_t>(position - blockStart_), last, out_))
        storedEntry_ = true;
    blockStart_ = position;
}

// Links the string at position into its hash chain; returns the previous chain head.
[[gnu::always_inline]] inline unsigned Deflater::insertString(unsigned position) {
    return chains_.insert(hashAt(window_.get() + position), position);
}

// Follows the hash chain from candidate for the longest match at position that is
// longer than prevLength; sets matchStart_ when it finds one. The result never
// exceeds the lookahead.
unsigned Deflater::longestMatch(unsigned candidate, unsigned prevLength, unsigned position,
                                unsigned lookahead) {
    unsigned chain = level_.maxChain;
    if (prevLength >= level_.goodLength)
        chain >>= 2;
    DeflateMatchSearch search(window_.get(), position,
                              position > DeflateMaxDistance ? position - DeflateMaxDistance : 0,
                              std::min<unsigned>(level_.niceLength, lookahead),
                              std::max(prevLength, DeflateMinMatch - 1), matchStart_);
    search.run(chains_, candidate, chain);
    matchStart_ = search.bestStart();
    return std::min(search.best(), lookahead);
}

// Levels 1-3: every match found is taken at once.
unsigned Deflater::compressFast() {
    const std::uint8_t* const window = window_.get();
    const unsigned maxInsert = level_.maxLazy;
    unsigned position = position_;
    unsigned lookahead = lookahead_;
    for (;;) {
        if (lookahead < DeflateMinLookahead && !refill(position, lookahead))
            break;
        const unsigned head = lookahead >= DeflateMinMatch ? insertString(position) : 0;
        unsigned length = 0;
        if (head != 0 && position - head <= DeflateMaxDistance)
            length = longestMatch(head, DeflateMinMatch - 1, position, lookahead);
        bool full;
        if (length >= DeflateMinMatch) {
            full = trees_.tallyMatch(position - matchStart_, length - DeflateMinMatch,
                                     position - blockStart_);
            lookahead -= length;
            if (length <= maxInsert && lookahead >= DeflateMinMatch) {
                for (unsigned i = 1; i < length; ++i)
                    insertString(position + i);
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
    const std::uint8_t* const window = window_.get();
    const unsigned maxLazy = level_.maxLazy;
    unsigned position = position_;
    unsigned lookahead = lookahead_;
    unsigned length = DeflateMinMatch - 1;
    bool pending = false; // the byte before position still waits to be emitted
    for (;;) {
        if (lookahead < DeflateMinLookahead && !refill(position, lookahead))
            break;
        const unsigned head = lookahead >= DeflateMinMatch ? insertString(position) : 0;
        const unsigned prevLength = length;
        const unsigned prevStart = matchStart_;
        length = DeflateMinMatch - 1;
        if (head != 0 && prevLength < maxLazy && position - head <= DeflateMaxDistance) {
            length = longestMatch(head, prevLength, position, lookahead);
            if (length == DeflateMinMatch && position - matchStart_ > DeflateTooFar)
                length = DeflateMinMatch - 1;
        }
        if (prevLength >= DeflateMinMatch && length <= prevLength) {
            const unsigned lastInsert = position + lookahead - DeflateMinMatch;
            const bool full = trees_.tallyMatch(
                position - 1 - prevStart, prevLength - DeflateMinMatch, position - blockStart_);
            // The match covers position - 1 .. position + prevLength - 2; position is
            // hashed already.
            lookahead -= prevLength - 1;
            const unsigned end = position + prevLength - 1;
            for (++position; position < end; ++position)
                if (position <= lastInsert)
                    insertString(position);
            pending = false;
            length = DeflateMinMatch - 1;
            if (full)
                flushBlock(position, false);
        } else {
            if (pending && trees_.tallyLiteral(window[position - 1], position - blockStart_))
                flushBlock(position, false);
            pending = true;
            ++position;
            --lookahead;
        }
    }
    if (pending)
        trees_.tallyLiteral(window[position - 1], position - blockStart_);
    return position;
}

} // namespace kd
