#include "zip/decompress/InflateDecoder.h"

#include "zip/decompress/DecompressError.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace kd {

static_assert(std::endian::native == std::endian::little, "word loads assume little endian");

namespace {

constexpr std::size_t kInputSize = 64 * 1024;
// The fast loop loads 8 bytes at a time and advances at most 21 bytes per pass.
// At the end of the input it runs on over this many zero bytes, and the bits it
// took from them are checked afterwards.
constexpr std::size_t kInputMargin = 64;
constexpr std::size_t kHistory = 32768;
constexpr std::size_t kChunk = 128 * 1024;
// Room past flushAt_: two literal pairs and a whole match with its word overshoot.
constexpr std::size_t kOutputMargin = 512;

constexpr std::ptrdiff_t kPairingThreshold = 2048;

constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

inline std::uint64_t Load64(const void* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store64(void* p, std::uint64_t v) {
    std::memcpy(p, &v, sizeof v);
}
inline void Store16(std::uint8_t* p, std::uint16_t v) {
    std::memcpy(p, &v, sizeof v);
}
inline std::uint64_t LowBits(std::uint64_t bits, unsigned count) {
    return bits & ((std::uint64_t{1} << count) - 1);
}

// Copies a match of `length` symbols from `distance` back; may write up to 15 bytes
// past the end, which the output margin allows.
template <class Symbol> Symbol* CopyMatch(Symbol* out, std::size_t distance, std::size_t length) {
    constexpr std::size_t kPerWord = 8 / sizeof(Symbol);
    // Spreads one symbol over a word: 0x0101... for bytes.
    constexpr std::uint64_t kSpread =
        ~std::uint64_t{0} / ((std::uint64_t{1} << (8 * sizeof(Symbol))) - 1);
    const Symbol* src = out - distance;
    Symbol* const end = out + length;
    if (distance >= 2 * kPerWord) {
        do {
            const std::uint64_t a = Load64(src), b = Load64(src + kPerWord);
            Store64(out, a);
            Store64(out + kPerWord, b);
            out += 2 * kPerWord;
            src += 2 * kPerWord;
        } while (out < end);
    } else if (distance >= kPerWord) {
        do {
            Store64(out, Load64(src));
            out += kPerWord;
            src += kPerWord;
        } while (out < end);
    } else if (distance == 1) {
        const std::uint64_t v = *src * kSpread;
        do {
            Store64(out, v);
            out += kPerWord;
        } while (out < end);
    } else {
        do
            *out++ = *src++;
        while (out < end);
    }
    return end;
}

// Stores the one or two literals of a table entry; the second may be dropped later.
inline void StoreLiterals(std::uint8_t* out, std::uint32_t entry) {
    Store16(out, static_cast<std::uint16_t>(entry >> 16));
}
inline void StoreLiterals(std::uint16_t* out, std::uint32_t entry) {
    const std::uint32_t pair = ((entry >> 16) & 0xFF) | ((entry >> 24) << 16);
    std::memcpy(out, &pair, sizeof pair);
}

} // namespace

template <class Symbol>
BasicInflateDecoder<Symbol>::BasicInflateDecoder()
    : inputBuffer_(kInputSize + kInputMargin), window_(kHistory + kChunk + kOutputMargin) {
    std::array<std::uint8_t, 288> lengths{};
    std::fill_n(lengths.begin(), 144, 8);
    std::fill_n(lengths.begin() + 144, 112, 9);
    std::fill_n(lengths.begin() + 256, 24, 7);
    std::fill_n(lengths.begin() + 280, 8, 8);
    fixedLiterals_.Build(lengths.data(), 288);
    std::fill_n(lengths.begin(), 32, 5);
    fixedDistances_.Build(lengths.data(), 32);
}

template <class Symbol>
void BasicInflateDecoder<Symbol>::Run(DecompressInput& input, Output& output) {
    RunBlocks(input, InflateStretch{}, {}, output);
}

template <class Symbol>
InflateStop
BasicInflateDecoder<Symbol>::RunBlocks(DecompressInput& input, const InflateStretch& stretch,
                                       std::span<const Symbol> history, Output& output) {
    input_ = &input;
    output_ = &output;
    in_ = inEnd_ = inputBuffer_.data();
    inputEnded_ = false;
    inputRead_ = stretch.start / 8;
    bitBuffer_ = 0;
    bitCount_ = 0;
    history = history.last(std::min(history.size(), kHistory));
    std::copy(history.begin(), history.end(), window_.begin());
    out_ = flushed_ = window_.data() + history.size();
    flushAt_ = window_.data() + kHistory + kChunk;
    GetBits(static_cast<unsigned>(stretch.start % 8));

    InflateStop stop;
    while (!stop.final) {
        stop.final = GetBits(1) != 0;
        switch (GetBits(2)) {
        case 0:
            ReadStoredBlock();
            break;
        case 1:
            DecodeBlock(fixedLiterals_, fixedDistances_);
            break;
        case 2:
            ReadDynamicTables();
            DecodeBlock(literals_, distances_);
            break;
        default:
            throw EBadCompressedData("invalid block type");
        }
        stop.bit = BitPosition();
        if (stop.bit >= stretch.stop || (stretch.untilKnown && RecentOutputKnown()))
            break;
    }
    if (out_ > flushed_)
        output_->Write(flushed_, static_cast<std::size_t>(out_ - flushed_));
    flushed_ = out_;
    return stop;
}

template <class Symbol> std::uint64_t BasicInflateDecoder<Symbol>::BitPosition() const {
    return (inputRead_ - static_cast<std::uint64_t>(inEnd_ - in_)) * 8 - bitCount_;
}

template <class Symbol> bool BasicInflateDecoder<Symbol>::RecentOutputKnown() const {
    const Symbol* const from = out_ - std::min<std::size_t>(out_ - window_.data(), kHistory);
    return std::none_of(from, static_cast<const Symbol*>(out_),
                        [](Symbol symbol) { return symbol > 0xFF; });
}

// Moves the unread input to the front and reads more; false when nothing came.
template <class Symbol> bool BasicInflateDecoder<Symbol>::FillInput() {
    if (inputEnded_)
        return false;
    const std::size_t kept = static_cast<std::size_t>(inEnd_ - in_);
    std::uint8_t* const base = inputBuffer_.data();
    std::memmove(base, in_, kept);
    in_ = base;
    std::uint8_t* end = base + kept;
    std::uint8_t* const limit = base + kInputSize;
    while (end < limit) {
        const std::size_t n = input_->Read(end, static_cast<std::size_t>(limit - end));
        if (n == 0) {
            inputEnded_ = true;
            std::memset(end, 0, kInputMargin);
            break;
        }
        end += n;
        inputRead_ += n;
    }
    inEnd_ = end;
    return end > base + kept;
}

// Loads input until at least `count` bits are held, or as many as the input has.
template <class Symbol> void BasicInflateDecoder<Symbol>::PullBits(unsigned count) {
    if (bitCount_ >= count)
        return;
    if (inEnd_ - in_ >= 8) {
        bitBuffer_ |= Load64(in_) << bitCount_;
        in_ += (63 - bitCount_) >> 3;
        bitCount_ |= 56;
        return;
    }
    while (bitCount_ < count) {
        if (in_ == inEnd_ && !FillInput())
            return;
        bitBuffer_ |= std::uint64_t{*in_++} << bitCount_;
        bitCount_ += 8;
    }
}

template <class Symbol> std::uint32_t BasicInflateDecoder<Symbol>::GetBits(unsigned count) {
    PullBits(count);
    if (bitCount_ < count)
        throw EBadCompressedData("unexpected end of data");
    const auto value = static_cast<std::uint32_t>(LowBits(bitBuffer_, count));
    bitBuffer_ >>= count;
    bitCount_ -= count;
    return value;
}

// Decodes one code near the end of the input, checking every bit it uses.
template <class Symbol>
std::uint32_t BasicInflateDecoder<Symbol>::DecodeSlow(const InflateTable& table) {
    PullBits(15);
    const std::uint32_t* entries = table.Entries();
    std::uint32_t entry = entries[LowBits(bitBuffer_, table.RootBits())];
    if (entry & InflateTable::kSubtable) {
        if (bitCount_ < table.RootBits())
            throw EBadCompressedData("unexpected end of data");
        bitBuffer_ >>= table.RootBits();
        bitCount_ -= table.RootBits();
        entry = entries[(entry >> 16) + LowBits(bitBuffer_, (entry >> 8) & 15)];
    }
    if ((entry & InflateTable::kExceptional) && !(entry & InflateTable::kEndOfBlock))
        throw EBadCompressedData("invalid Huffman code");
    const unsigned length = entry & InflateTable::kLengthMask;
    if (bitCount_ < length)
        throw EBadCompressedData("unexpected end of data");
    bitBuffer_ >>= length;
    bitCount_ -= length;
    return entry;
}

// After the fast loop ran into the zero padding past the end of the input: drops
// the padding bits from the bit buffer, or fails when some of them were decoded.
template <class Symbol> void BasicInflateDecoder<Symbol>::DropPaddingBits() {
    if (in_ <= inEnd_)
        return;
    const auto padding = static_cast<unsigned>(in_ - inEnd_) * 8;
    if (padding > bitCount_)
        throw EBadCompressedData("unexpected end of data");
    bitCount_ -= padding;
    bitBuffer_ = LowBits(bitBuffer_, bitCount_);
    in_ = inEnd_;
}

template <class Symbol> void BasicInflateDecoder<Symbol>::FlushAndSlide() {
    output_->Write(flushed_, static_cast<std::size_t>(out_ - flushed_));
    std::copy(out_ - kHistory, out_, window_.data());
    out_ = window_.data() + kHistory;
    flushed_ = out_;
}

template <class Symbol> void BasicInflateDecoder<Symbol>::ReadStoredBlock() {
    bitBuffer_ >>= bitCount_ & 7;
    bitCount_ &= ~7u;
    const std::uint32_t length = GetBits(16);
    if (GetBits(16) != (~length & 0xFFFF))
        throw EBadCompressedData("stored block length check failed");
    std::size_t left = length;
    for (; left && bitCount_; --left) {
        if (out_ >= flushAt_)
            FlushAndSlide();
        *out_++ = static_cast<std::uint8_t>(bitBuffer_);
        bitBuffer_ >>= 8;
        bitCount_ -= 8;
    }
    if (bitCount_ == 0)
        bitBuffer_ = 0; // the rest is read straight from the input
    while (left) {
        if (out_ >= flushAt_)
            FlushAndSlide();
        if (in_ == inEnd_ && !FillInput())
            throw EBadCompressedData("unexpected end of data");
        const std::size_t n = std::min({left, static_cast<std::size_t>(inEnd_ - in_),
                                        static_cast<std::size_t>(flushAt_ + kOutputMargin - out_)});
        std::copy_n(in_, n, out_);
        out_ += n;
        in_ += n;
        left -= n;
    }
}

template <class Symbol> void BasicInflateDecoder<Symbol>::ReadDynamicTables() {
    const unsigned literalCount = GetBits(5) + 257;
    const unsigned distanceCount = GetBits(5) + 1;
    const unsigned codeLengthCount = GetBits(4) + 4;
    if (literalCount > 286 || distanceCount > 30)
        throw EBadCompressedData("too many length or distance codes");

    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (unsigned i = 0; i < codeLengthCount; ++i)
        codeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(GetBits(3));
    codeLengths_.Build(codeLengthLengths.data(), 19);

    std::array<std::uint8_t, 286 + 30> lengths{};
    const unsigned total = literalCount + distanceCount;
    for (unsigned i = 0; i < total;) {
        // A code-length code and its repeat bits take at most 14 bits; the code is
        // complete, so every entry is valid.
        PullBits(14);
        unsigned symbol;
        if (bitCount_ >= 14) {
            const std::uint32_t entry =
                codeLengths_.Entries()[LowBits(bitBuffer_, InflateTable::kCodeLengthBits)];
            bitBuffer_ >>= entry & InflateTable::kLengthMask;
            bitCount_ -= entry & InflateTable::kLengthMask;
            symbol = entry >> 16;
        } else {
            symbol = DecodeSlow(codeLengths_) >> 16;
        }
        if (symbol < 16) {
            lengths[i++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t value = 0;
        unsigned repeat;
        if (symbol == 16) {
            if (i == 0)
                throw EBadCompressedData("repeat of a code length with no previous one");
            value = lengths[i - 1];
            repeat = 3 + GetBits(2);
        } else if (symbol == 17) {
            repeat = 3 + GetBits(3);
        } else {
            repeat = 11 + GetBits(7);
        }
        if (repeat > total - i)
            throw EBadCompressedData("code length repeat past the end");
        std::fill_n(lengths.begin() + i, repeat, value);
        i += repeat;
    }
    if (lengths[256] == 0)
        throw EBadCompressedData("no end-of-block code");
    // Two-literal entries cost more to build than a short last block gains.
    const bool longBlock = !inputEnded_ || inEnd_ - in_ > kPairingThreshold;
    literals_.Build(lengths.data(), literalCount, longBlock);
    distances_.Build(lengths.data() + literalCount, distanceCount);
}

template <class Symbol>
void BasicInflateDecoder<Symbol>::DecodeBlock(const InflateTable& literals,
                                              const InflateTable& distances) {
    for (;;) {
        if (out_ >= flushAt_)
            FlushAndSlide();
        if (static_cast<std::size_t>(inEnd_ - in_) < kInputMargin)
            FillInput();
        if (static_cast<std::size_t>(inEnd_ - in_) > kInputMargin ||
            (inputEnded_ && in_ < inEnd_)) {
            const bool endOfBlock = DecodeFast(literals, distances);
            DropPaddingBits();
            if (endOfBlock)
                return;
        } else if (DecodeOneSymbol(literals, distances)) {
            return;
        }
    }
}

// Decodes symbols while the input holds enough bytes and the output has room,
// without checking for the end of either. True at the end of the block.
template <class Symbol>
bool BasicInflateDecoder<Symbol>::DecodeFast(const InflateTable& literalTable,
                                             const InflateTable& distanceTable) {
    using T = InflateTable;
    constexpr std::uint64_t kLiteralMask = (1u << T::kLiteralLengthBits) - 1;
    constexpr std::uint64_t kDistanceMask = (1u << T::kDistanceBits) - 1;
    const std::uint32_t* const lt = literalTable.Entries();
    const std::uint32_t* const dt = distanceTable.Entries();
    const std::uint8_t* in = in_;
    const std::uint8_t* const inLimit = inputEnded_ ? inEnd_ : inEnd_ - kInputMargin;
    Symbol* out = out_;
    Symbol* const outLimit = flushAt_;
    const Symbol* const outStart = window_.data();
    std::uint64_t bits = bitBuffer_;
    unsigned count = bitCount_;
    bool endOfBlock = false;

    // After a refill at least 56 bits are held: enough for three root literal
    // entries, or for a length and a distance with their extra bits.
    const auto refill = [&] {
        bits |= Load64(in) << count;
        in += (63 - count) >> 3;
        count |= 56;
    };
    const auto consume = [&](unsigned n) {
        bits >>= n;
        count -= n;
    };
    const auto putLiterals = [&](std::uint32_t entry) {
        StoreLiterals(out, entry);
        out += (entry >> 12) & 3;
    };

    // The next literal/length entry is looked up before the loop test and before a
    // match is copied, so that the table load overlaps other work. Every path
    // refills before that lookup, so each pass starts with at least 56 bits.
    refill();
    std::uint32_t entry = lt[bits & kLiteralMask];
    while (in < inLimit && out < outLimit) {
        if (entry & T::kLiteral) {
            consume(entry & T::kLengthMask);
            putLiterals(entry);
            entry = lt[bits & kLiteralMask];
            if (entry & T::kLiteral) {
                consume(entry & T::kLengthMask);
                putLiterals(entry);
                entry = lt[bits & kLiteralMask];
                if (entry & T::kLiteral) {
                    consume(entry & T::kLengthMask);
                    putLiterals(entry);
                    refill();
                    entry = lt[bits & kLiteralMask];
                    continue;
                }
            }
            refill();
        }
        if (entry & T::kExceptional) {
            if (entry & T::kSubtable) {
                consume(T::kLiteralLengthBits);
                entry = lt[(entry >> 16) + LowBits(bits, (entry >> 8) & 15)];
                if (entry & T::kLiteral) {
                    consume(entry & T::kLengthMask);
                    *out++ = static_cast<std::uint8_t>(entry >> 16);
                    refill();
                    entry = lt[bits & kLiteralMask];
                    continue;
                }
            }
            if (entry & T::kExceptional) {
                if (!(entry & T::kEndOfBlock))
                    throw EBadCompressedData("invalid literal/length code");
                consume(entry & T::kLengthMask);
                endOfBlock = true;
                break;
            }
        }
        consume(entry & T::kLengthMask);
        unsigned extra = (entry >> 8) & 15;
        const std::size_t length = (entry >> 16) + LowBits(bits, extra);
        consume(extra);

        entry = dt[bits & kDistanceMask];
        if (entry & T::kExceptional) {
            if (!(entry & T::kSubtable))
                throw EBadCompressedData("invalid distance code");
            consume(T::kDistanceBits);
            entry = dt[(entry >> 16) + LowBits(bits, (entry >> 8) & 15)];
            if (entry & T::kExceptional)
                throw EBadCompressedData("invalid distance code");
        }
        consume(entry & T::kLengthMask);
        extra = (entry >> 8) & 15;
        const std::size_t distance = (entry >> 16) + LowBits(bits, extra);
        consume(extra);
        if (distance > static_cast<std::size_t>(out - outStart))
            throw EBadCompressedData("distance before the start of the data");
        refill();
        entry = lt[bits & kLiteralMask];
        out = CopyMatch(out, distance, length);
    }
    in_ = in;
    out_ = out;
    bitBuffer_ = bits;
    bitCount_ = count;
    return endOfBlock;
}

// Decodes one symbol with every input bit checked. True at the end of the block.
template <class Symbol>
bool BasicInflateDecoder<Symbol>::DecodeOneSymbol(const InflateTable& literals,
                                                  const InflateTable& distances) {
    std::uint32_t entry = DecodeSlow(literals);
    if (entry & InflateTable::kLiteral) {
        *out_++ = static_cast<std::uint8_t>(entry >> 16);
        if (((entry >> 12) & 3) == 2)
            *out_++ = static_cast<std::uint8_t>(entry >> 24);
        return false;
    }
    if (entry & InflateTable::kEndOfBlock)
        return true;
    const std::size_t length = (entry >> 16) + GetBits((entry >> 8) & 15);
    entry = DecodeSlow(distances); // distance tables hold no end-of-block entry
    const std::size_t distance = (entry >> 16) + GetBits((entry >> 8) & 15);
    if (distance > static_cast<std::size_t>(out_ - window_.data()))
        throw EBadCompressedData("distance before the start of the data");
    for (std::size_t i = 0; i < length; ++i, ++out_)
        *out_ = *(out_ - distance);
    return false;
}

template class BasicInflateDecoder<std::uint8_t>;
template class BasicInflateDecoder<std::uint16_t>;

} // namespace kd
