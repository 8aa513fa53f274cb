#pragma once
#include "zip/decompress/DecompressIO.h"
#include "zip/decompress/InflateTable.h"

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace kd {

// A stretch of whole blocks of a Deflate stream, in bits from the stream's start.
struct InflateStretch {
    std::uint64_t start = 0; // where its first block starts
    // The first block that ends at or past this bit is the last one decoded.
    std::uint64_t stop = std::numeric_limits<std::uint64_t>::max();
    // Also ends after a block once the last 32 KiB of output hold no marker (a symbol
    // of 256 or more, which stands for a byte of history not known yet).
    bool untilKnown = false;
};

// Where the decoding of a stretch ended.
struct InflateStop {
    std::uint64_t bit = 0; // just past the last block decoded
    bool final = false;    // that block was the stream's last
};

// Decoder of Deflate streams (RFC 1951), ZIP method 8. One object may decode any
// number of streams one after another; its buffers are allocated once.
// Malformed data raises EBadCompressedData; errors of the input and output pass
// through unchanged.
// Symbol is the byte for ordinary decoding. A wider symbol lets a stream be decoded
// from a block in its middle: the unknown history before it is given as markers,
// which matches copy into the output as they are, to be replaced by the real bytes
// once those are known.
template <class Symbol> class BasicInflateDecoder {
public:
    using Output = BasicDecompressOutput<Symbol>;

    BasicInflateDecoder();

    // Decodes one whole stream up to its final block.
    void Run(DecompressInput& input, Output& output);
    // Decodes the blocks of a stretch. input delivers the stream from the byte that
    // holds the stretch's start; history (its last 32 KiB count) is what came before.
    InflateStop RunBlocks(DecompressInput& input, const InflateStretch& stretch,
                          std::span<const Symbol> history, Output& output);

private:
    bool FillInput();
    void PullBits(unsigned count);
    std::uint32_t GetBits(unsigned count);
    std::uint32_t DecodeSlow(const InflateTable& table);
    void DropPaddingBits();
    void FlushAndSlide();
    std::uint64_t BitPosition() const;
    bool RecentOutputKnown() const;

    void ReadStoredBlock();
    void ReadDynamicTables();
    void DecodeBlock(const InflateTable& literals, const InflateTable& distances);
    bool DecodeFast(const InflateTable& literals, const InflateTable& distances);
    bool DecodeOneSymbol(const InflateTable& literals, const InflateTable& distances);

    DecompressInput* input_ = nullptr;
    Output* output_ = nullptr;

    std::vector<std::uint8_t> inputBuffer_;
    const std::uint8_t* in_ = nullptr;
    const std::uint8_t* inEnd_ = nullptr;
    bool inputEnded_ = false;
    std::uint64_t inputRead_ = 0; // bytes of the stream before the end of inputBuffer_
    std::uint64_t bitBuffer_ = 0; // bits above bitCount_ are zero or the next input bits
    unsigned bitCount_ = 0;

    std::vector<Symbol> window_; // history, then the output not yet flushed
    Symbol* out_ = nullptr;
    Symbol* flushed_ = nullptr;
    Symbol* flushAt_ = nullptr;

    InflateTable fixedLiterals_{InflateTable::Kind::LiteralLength};
    InflateTable fixedDistances_{InflateTable::Kind::Distance};
    InflateTable literals_{InflateTable::Kind::LiteralLength};
    InflateTable distances_{InflateTable::Kind::Distance};
    InflateTable codeLengths_{InflateTable::Kind::CodeLength};
};

using InflateDecoder = BasicInflateDecoder<std::uint8_t>;
// Decodes with markers for unknown history: 256 + its position in the 32 KiB window.
using MarkedInflateDecoder = BasicInflateDecoder<std::uint16_t>;

} // namespace kd
