#pragma once
#include "zip/deflate/DeflateBitWriter.h"
#include "zip/deflate/DeflateTables.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <memory>

namespace kd {

// The block stage of the Deflate compressor: collects the literals and matches of the
// current block with their frequencies, and writes the block out as a stored,
// fixed-code or dynamic-code block, whichever is smallest.
class DeflateTrees {
public:
    // A block ends when it holds this many items.
    static constexpr unsigned BlockItems = 32767;

    DeflateTrees();

    // Clears the block; with estimateEarlyEnd the tally may end a block early when it
    // already compresses well (levels above 2).
    void startEntry(bool estimateEarlyEnd);

    // Records one literal byte; blockInput is the count of input bytes the block covers
    // so far. Returns true when the block must be flushed now.
    bool tallyLiteral(std::uint8_t byte, std::int64_t blockInput) {
        const unsigned n = items_;
        assert(n < BlockItems);
        ++literalFreq_[byte];
        symbols_[n] = byte;
        items_ = n + 1;
        return endOfBlock(n + 1, blockInput);
    }

    // Records a match of distance 1..32768 and length lengthMinus3 + 3.
    bool tallyMatch(unsigned distance, unsigned lengthMinus3, std::int64_t blockInput) {
        const unsigned n = items_;
        assert(n < BlockItems);
        ++literalFreq_[deflate_tables::EndOfBlock + 1 + deflate_tables::LengthCodeOf[lengthMinus3]];
        ++distanceFreq_[deflate_tables::distanceCode(distance - 1)];
        symbols_[n] = (distance << 8) | lengthMinus3;
        items_ = n + 1;
        ++matches_;
        return endOfBlock(n + 1, blockInput);
    }

    // Data type from the literals of the block: 1 text, 0 binary.
    std::uint16_t guessDataType() const;

    // Writes the block out and clears it. data points at the block's input bytes when
    // they are still in the window (else nullptr). When this is the last block and
    // nothing has been written for the entry, input that would not shrink is written
    // unchanged with no block structure at all; the function then returns true (the
    // entry becomes stored).
    bool flushBlock(const std::uint8_t* data, std::uint64_t inputBytes, bool last,
                    DeflateBitWriter& out);

private:
    bool endOfBlock(unsigned items, std::int64_t blockInput) const {
        return items == BlockItems ||
               ((items & 0xFFF) == 0 && estimateEarlyEnd_ && compressesWellEnough(blockInput));
    }
    bool compressesWellEnough(std::int64_t blockInput) const;
    std::uint64_t prepareDynamicHeader(unsigned literalCount, unsigned distanceCount);
    void writeDynamicHeader(DeflateBitWriter& out) const;
    void writeStoredBlocks(const std::uint8_t* data, std::uint64_t size, bool last,
                           DeflateBitWriter& out) const;
    void writeSymbols(DeflateBitWriter& out, const std::uint16_t* literalCodes,
                      const std::uint8_t* literalLengths, const std::uint16_t* distanceCodes,
                      const std::uint8_t* distanceLengths) const;
    void resetBlock();

    // One item per entry: (distance << 8) | (length - 3) for a match, the byte for a
    // literal (distance 0).
    std::unique_ptr<std::uint32_t[]> symbols_;
    unsigned items_ = 0;
    unsigned matches_ = 0;
    bool estimateEarlyEnd_ = false;

    std::array<std::uint32_t, deflate_tables::FixedLiteralCodes> literalFreq_{};
    std::array<std::uint32_t, deflate_tables::DistanceCodes> distanceFreq_{};
    std::array<std::uint32_t, deflate_tables::BitLengthCodes> bitLengthFreq_{};

    std::array<std::uint8_t, deflate_tables::FixedLiteralCodes> literalLength_{};
    std::array<std::uint16_t, deflate_tables::FixedLiteralCodes> literalCode_{};
    std::array<std::uint8_t, deflate_tables::DistanceCodes> distanceLength_{};
    std::array<std::uint16_t, deflate_tables::DistanceCodes> distanceCode_{};
    std::array<std::uint8_t, deflate_tables::BitLengthCodes> bitLengthLength_{};

    // The code-length sequence of a dynamic header, run-length coded.
    static constexpr unsigned MaxTokens =
        deflate_tables::LiteralCodes + deflate_tables::DistanceCodes;
    std::array<std::uint8_t, MaxTokens> tokenCode_{};
    std::array<std::uint8_t, MaxTokens> tokenExtra_{};
    unsigned tokenCount_ = 0;
    unsigned literalCount_ = 0;
    unsigned distanceCount_ = 0;
    unsigned bitLengthCount_ = 0;
};

} // namespace kd
