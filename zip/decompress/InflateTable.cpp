#include "zip/decompress/InflateTable.h"

#include "zip/decompress/DecompressError.h"

#include <algorithm>
#include <array>

namespace kd {

namespace {

constexpr unsigned kMaxCodeLength = 15;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The next canonical code of `length` bits, both in bit-reversed form.
unsigned NextReversedCode(unsigned reversed, unsigned length) {
    unsigned bit = 1u << (length - 1);
    while (reversed & bit)
        bit >>= 1;
    return bit ? (reversed & (bit - 1)) | bit : 0;
}

} // namespace

InflateTable::InflateTable(Kind kind)
    : kind_(kind), rootBits_(kind == Kind::LiteralLength ? kLiteralLengthBits
                             : kind == Kind::Distance    ? kDistanceBits
                                                         : kCodeLengthBits) {
    // Root table plus the largest possible subtables: at most one subtable entry
    // per code and per extra bit above the root.
    const unsigned maxSymbols = kind == Kind::LiteralLength ? 288 : kind == Kind::Distance ? 32 : 0;
    const unsigned subBits = kMaxCodeLength - rootBits_;
    entries_.resize((1u << rootBits_) + maxSymbols * (1u << subBits));
}

// Entry of each symbol without its code length.
const std::uint32_t* InflateTable::SymbolEntries() const {
    static const auto tables = [] {
        std::array<std::array<std::uint32_t, 288>, 3> t{};
        for (unsigned s = 0; s < 288; ++s) {
            auto& literal = t[0][s];
            if (s < 256)
                literal = kLiteral | (1u << 12) | (s << 16);
            else if (s == 256)
                literal = kExceptional | kEndOfBlock;
            else if (s - 257 < kLengthBase.size())
                literal = (std::uint32_t{kLengthExtra[s - 257]} << 8) |
                          (std::uint32_t{kLengthBase[s - 257]} << 16);
            else
                literal = kExceptional; // 286 and 287 never occur in valid data
            t[1][s] = s < kDistanceBase.size()
                          ? (std::uint32_t{kDistanceExtra[s]} << 8) |
                                (std::uint32_t{kDistanceBase[s]} << 16)
                          : kExceptional; // 30 and 31 never occur in valid data
            t[2][s] = s << 16;
        }
        return t;
    }();
    return tables[static_cast<std::size_t>(kind_)].data();
}

void InflateTable::Build(const std::uint8_t* lengths, unsigned count, bool pairLiterals) {
    std::array<unsigned, kMaxCodeLength + 2> counts{};
    for (unsigned s = 0; s < count; ++s)
        ++counts[lengths[s]];
    counts[0] = 0;

    int left = 1;
    unsigned maxLength = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
        left = left * 2 - static_cast<int>(counts[len]);
        if (left < 0)
            throw EBadCompressedData("over-subscribed Huffman code");
        if (counts[len])
            maxLength = len;
    }
    // An incomplete code is allowed only as a single one-bit code (or no code at all
    // for distances), as the encoders produce for data with one symbol.
    if (left > 0 && (kind_ == Kind::CodeLength || maxLength > 1))
        throw EBadCompressedData("incomplete Huffman code");

    std::array<unsigned, kMaxCodeLength + 2> offsets{};
    for (unsigned len = 1; len <= kMaxCodeLength; ++len)
        offsets[len + 1] = offsets[len] + counts[len];
    const unsigned used = offsets[kMaxCodeLength + 1];
    std::array<std::uint16_t, 320> sorted;
    for (unsigned s = 0; s < count; ++s)
        if (lengths[s])
            sorted[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);

    // Root entries: codes of each length in canonical order, their bit-reversed
    // values counted directly; the table doubles (copying itself) before each longer
    // length, which replicates the shorter codes over the unused high bits.
    std::uint32_t* const table = entries_.data();
    const std::uint32_t* const symbolEntries = SymbolEntries();
    table[0] = kExceptional;
    unsigned i = 0;
    unsigned reversed = 0;
    for (unsigned len = 1, size = 1; len <= rootBits_; ++len, size *= 2) {
        std::copy_n(table, size, table + size);
        for (; i < used && lengths[sorted[i]] == len; ++i) {
            table[reversed] = symbolEntries[sorted[i]] | len;
            reversed = NextReversedCode(reversed, len);
        }
    }
    if (i < used)
        BuildSubtables(lengths, sorted.data() + i, used - i, reversed);
    if (kind_ == Kind::LiteralLength && pairLiterals) {
        // Pairs need two literal codes that fit in the root bits together; the
        // first literal in canonical order has the shortest code.
        unsigned first = 0;
        while (first < used && sorted[first] > 255)
            ++first;
        if (first < used && 2 * lengths[sorted[first]] <= rootBits_)
            PairLiterals();
    }
}

// Codes longer than the root bits: each root index they share points to a subtable
// as wide as the longest of them needs. `reversed` is the first code, reversed, at
// the length of the first symbol.
void InflateTable::BuildSubtables(const std::uint8_t* lengths, const std::uint16_t* symbols,
                                  unsigned count, unsigned reversed) {
    const unsigned rootSize = 1u << rootBits_;
    std::array<std::uint8_t, 1u << kLiteralLengthBits> subBits{};
    unsigned code = reversed;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned len = lengths[symbols[i]];
        auto& bits = subBits[code & (rootSize - 1)];
        bits = static_cast<std::uint8_t>(std::max<unsigned>(bits, len - rootBits_));
        code = NextReversedCode(code, len);
    }
    unsigned next = rootSize;
    code = reversed;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned len = lengths[symbols[i]];
        const unsigned root = code & (rootSize - 1);
        const unsigned bits = subBits[root];
        if (!(entries_[root] & kSubtable)) {
            std::fill_n(entries_.begin() + next, 1u << bits, kExceptional);
            entries_[root] = kExceptional | kSubtable | rootBits_ | (bits << 8) | (next << 16);
            next += 1u << bits;
        }
        const unsigned start = entries_[root] >> 16;
        const unsigned subLength = len - rootBits_;
        for (unsigned k = code >> rootBits_; k < (1u << bits); k += 1u << subLength)
            entries_[start + k] = SymbolEntries()[symbols[i]] | subLength;
        code = NextReversedCode(code, len);
    }
}

// Going down from the top, the entry for the second code (at a lower index) is
// still a single one when it is read.
void InflateTable::PairLiterals() {
    // Branch-free: literal and non-literal entries alternate unpredictably.
    for (unsigned i = 1u << rootBits_; i-- > 0;) {
        const std::uint32_t first = entries_[i];
        const unsigned firstLength = first & kLengthMask;
        const std::uint32_t second = entries_[i >> firstLength];
        const unsigned total = firstLength + (second & kLengthMask);
        const std::uint32_t pair =
            kLiteral | (2u << 12) | (first & 0x00FF0000u) | ((second & 0x00FF0000u) << 8) | total;
        const std::uint32_t use = 0u - ((first & second & kLiteral) >> 15 & (total <= rootBits_));
        entries_[i] = (pair & use) | (first & ~use);
    }
}

} // namespace kd
