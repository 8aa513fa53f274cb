#include "zip/Deflater.h"

#include "platform/Exception.h"
#include "zip/DeflateChains.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kd {

namespace {

constexpr unsigned WindowBytes = 2 * DeflateWindowSize;
// Match comparison reads up to a whole match length, plus one word, past the data.
constexpr unsigned WindowSlack = DeflateMaxMatch + 16;

inline std::uint16_t load16(const std::uint8_t* p) {
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Eight bytes, the first one lowest.
inline std::uint64_t load64(const std::uint8_t* p) {
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

// Count of equal leading bytes in a non-zero XOR of two loaded words.
inline unsigned equalBytes(std::uint64_t difference) {
    return static_cast<unsigned>(std::countr_zero(difference)) >> 3;
}

// Length of the common prefix of a and b, at most DeflateMaxMatch; the first two bytes
// are known to agree.
[[gnu::always_inline]] inline unsigned commonLength(const std::uint8_t* a, const std::uint8_t* b) {
    unsigned length = 2;
    do {
        const std::uint64_t difference = load64(a + length) ^ load64(b + length);
        if (difference != 0)
            return std::min(length + equalBytes(difference), DeflateMaxMatch);
        length += 8;
    } while (length < DeflateMaxMatch);
    return DeflateMaxMatch;
}

// The hash of three bytes: ((b0 << 10) ^ (b1 << 5) ^ b2) over 15 bits, the same value
// as shifting each byte in by 5 bits.
[[gnu::always_inline]] inline unsigned hashAt(const std::uint8_t* p) {
    return ((unsigned{p[0]} << 10) ^ (unsigned{p[1]} << 5) ^ p[2]) & DeflateHashMask;
}

// The chain walk of the longest-match search. A longer match than the best so far
// agrees with the scanned string in bytes 0..best, so a candidate is compared in full
// only when the (up to) eight bytes ending at byte best agree, and its first two.
class ChainSearch {
public:
    ChainSearch(const std::uint8_t* window, unsigned position, unsigned limit, unsigned nice,
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

    const std::uint8_t* const window_;
    const std::uint8_t* const scan_;
    const unsigned limit_; // candidates at or below this are too far away
    const unsigned nice_;  // a match this long ends the search
    unsigned best_;
    unsigned bestStart_;
    const std::uint16_t scanStart_;
    unsigned endOffset_ = 0;
    std::uint64_t endMask_ = 0;
    std::uint64_t scanEnd_ = 0;
};

} // namespace

Deflater::Deflater()
    : window_(std::make_unique<std::uint8_t[]>(WindowBytes + WindowSlack)),
      chains_() {}

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

    if (deflateLevelIsLazy(level))
        compressLazy();
    else
        compressFast();
    flushBlock(true);
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

void Deflater::flushBlock(bool last) {
    const std::uint8_t* data = blockStart_ >= 0 ? window_.get() + blockStart_ : nullptr;
    if (internalAttributes_ == 2)
        internalAttributes_ = trees_.guessDataType();
    if (trees_.flushBlock(data, static_cast<std::uint64_t>(position_ - blockStart_), last, out_))
        storedEntry_ = true;
    blockStart_ = position_;
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
    ChainSearch search(window_.get(), position,
                       position > DeflateMaxDistance ? position - DeflateMaxDistance : 0,
                       std::min<unsigned>(level_.niceLength, lookahead),
                       std::max(prevLength, DeflateMinMatch - 1), matchStart_);
    search.run(chains_, candidate, chain);
    matchStart_ = search.bestStart();
    return std::min(search.best(), lookahead);
}

// Levels 1-3: every match found is taken at once.
void Deflater::compressFast() {
    const std::uint8_t* const window = window_.get();
    const unsigned maxInsert = level_.maxLazy;
    unsigned position = position_;
    unsigned lookahead = lookahead_;
    for (;;) {
        if (lookahead < DeflateMinLookahead) {
            position_ = position;
            lookahead_ = lookahead;
            fillWindow();
            position = position_;
            lookahead = lookahead_;
            if (lookahead == 0)
                break;
        }
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
        if (full) {
            position_ = position;
            lookahead_ = lookahead;
            flushBlock(false);
        }
    }
    position_ = position;
    lookahead_ = lookahead;
}

// Levels 4-9: a match is taken only when the next position offers no longer one.
void Deflater::compressLazy() {
    const std::uint8_t* const window = window_.get();
    const unsigned maxLazy = level_.maxLazy;
    unsigned position = position_;
    unsigned lookahead = lookahead_;
    unsigned length = DeflateMinMatch - 1;
    bool pending = false; // the byte before position still waits to be emitted
    for (;;) {
        if (lookahead < DeflateMinLookahead) {
            position_ = position;
            lookahead_ = lookahead;
            fillWindow();
            position = position_;
            lookahead = lookahead_;
            if (lookahead == 0)
                break;
        }
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
            const bool full = trees_.tallyMatch(position - 1 - prevStart,
                                                prevLength - DeflateMinMatch,
                                                position - blockStart_);
            // The match covers position - 1 .. position + prevLength - 2; position is
            // hashed already.
            lookahead -= prevLength - 1;
            const unsigned end = position + prevLength - 1;
            for (++position; position < end; ++position)
                if (position <= lastInsert)
                    insertString(position);
            pending = false;
            length = DeflateMinMatch - 1;
            if (full) {
                position_ = position;
                lookahead_ = lookahead;
                flushBlock(false);
            }
        } else {
            if (pending && trees_.tallyLiteral(window[position - 1], position - blockStart_)) {
                position_ = position;
                lookahead_ = lookahead;
                flushBlock(false);
            }
            pending = true;
            ++position;
            --lookahead;
        }
    }
    if (pending)
        trees_.tallyLiteral(window[position - 1], position - blockStart_);
    position_ = position;
    lookahead_ = lookahead;
}

} // namespace kd
