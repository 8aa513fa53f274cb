#pragma once
#include "zip/decompress/DecompressIO.h"
#include "zip/decompress/InflateTable.h"

#include <cstdint>
#include <vector>

namespace kd {

// Decoder of Deflate streams (RFC 1951), ZIP method 8. One object may decode any
// number of entries one after another; its buffers are allocated once.
// Malformed data raises EBadCompressedData; errors of the input and output pass
// through unchanged.
class InflateDecoder {
public:
    InflateDecoder();

    // Decodes one whole stream up to its final block.
    void Run(DecompressInput& input, DecompressOutput& output);

private:
    bool FillInput();
    void PullBits(unsigned count);
    std::uint32_t GetBits(unsigned count);
    std::uint32_t DecodeSlow(const InflateTable& table);
    void DropPaddingBits();
    void FlushAndSlide();

    void ReadStoredBlock();
    void ReadDynamicTables();
    void DecodeBlock(const InflateTable& literals, const InflateTable& distances);
    bool DecodeFast(const InflateTable& literals, const InflateTable& distances);
    bool DecodeOneSymbol(const InflateTable& literals, const InflateTable& distances);

    DecompressInput* input_ = nullptr;
    DecompressOutput* output_ = nullptr;

    std::vector<std::uint8_t> inputBuffer_;
    const std::uint8_t* in_ = nullptr;
    const std::uint8_t* inEnd_ = nullptr;
    bool inputEnded_ = false;
    std::uint64_t bitBuffer_ = 0; // bits above bitCount_ are zero or the next input bits
    unsigned bitCount_ = 0;

    std::vector<std::uint8_t> window_; // history, then the output not yet flushed
    std::uint8_t* out_ = nullptr;
    std::uint8_t* flushed_ = nullptr;
    std::uint8_t* flushAt_ = nullptr;

    InflateTable fixedLiterals_{InflateTable::Kind::LiteralLength};
    InflateTable fixedDistances_{InflateTable::Kind::Distance};
    InflateTable literals_{InflateTable::Kind::LiteralLength};
    InflateTable distances_{InflateTable::Kind::Distance};
    InflateTable codeLengths_{InflateTable::Kind::CodeLength};
};

} // namespace kd
