#pragma once
#include <cstdint>
#include <vector>

namespace kd {

// A Huffman decoding table of the Deflate format, indexed by the next bits of the
// stream (least significant bit first). Codes longer than the root bits continue
// in subtables. Every entry is 32 bits:
//   bits 0-5    bits to consume for this entry
//   bit 6       subtable pointer (bits 8-11: subtable bits, 16-31: its start)
//   bit 7       exceptional: end of block, subtable, or an invalid code
//   bits 8-11   extra bits of a length or distance
//   bits 12-13  number of literals (1 or 2) when bit 15 is set
//   bit 14      end of block
//   bit 15      literal(s): first at bits 16-23, second at bits 24-31
//   bits 16-31  length or distance base, or the symbol of a code-length code
// Literal/length tables pack two literals into one entry when both codes fit in
// the root bits, so that the decoder emits two bytes per lookup.
class InflateTable {
public:
    enum class Kind { LiteralLength, Distance, CodeLength };

    static constexpr unsigned kLiteralLengthBits = 10;
    static constexpr unsigned kDistanceBits = 8;
    static constexpr unsigned kCodeLengthBits = 7;

    static constexpr std::uint32_t kLengthMask = 0x3F;
    static constexpr std::uint32_t kEndOfBlock = 1u << 14;
    static constexpr std::uint32_t kSubtable = 1u << 6;
    static constexpr std::uint32_t kExceptional = 1u << 7;
    static constexpr std::uint32_t kLiteral = 1u << 15;

    explicit InflateTable(Kind kind);

    // Builds the table from `count` code lengths (each 0-15). Throws
    // EBadCompressedData for an over-subscribed or wrongly incomplete code.
    // `pairLiterals` (literal/length tables only) adds the two-literal entries,
    // which pay off only for longer blocks.
    void Build(const std::uint8_t* lengths, unsigned count, bool pairLiterals = true);

    const std::uint32_t* Entries() const { return entries_.data(); }
    unsigned RootBits() const { return rootBits_; }

private:
    const std::uint32_t* SymbolEntries() const;
    void BuildSubtables(const std::uint8_t* lengths, const std::uint16_t* symbols, unsigned count,
                        unsigned reversed);
    void PairLiterals();

    Kind kind_;
    unsigned rootBits_;
    std::vector<std::uint32_t> entries_;
};

} // namespace kd
