#include "zip/deflate/DeflateTrees.h"

#include "zip/deflate/DeflateHuffman.h"

#include <algorithm>

namespace kd {

using namespace deflate_tables;

namespace {

struct FixedCodes {
    std::array<std::uint8_t, FixedLiteralCodes> literalLength{};
    std::array<std::uint16_t, FixedLiteralCodes> literalCode{};
    std::array<std::uint8_t, DistanceCodes> distanceLength{};
    std::array<std::uint16_t, DistanceCodes> distanceCode{};
};

// The fixed Huffman codes of block type 1.
constexpr FixedCodes Fixed = [] {
    FixedCodes fixed;
    for (unsigned s = 0; s < FixedLiteralCodes; ++s)
        fixed.literalLength[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    buildCodes(fixed.literalLength.data(), FixedLiteralCodes, fixed.literalCode.data());
    for (unsigned d = 0; d < DistanceCodes; ++d) {
        fixed.distanceLength[d] = 5;
        fixed.distanceCode[d] = reverseBits(d, 5);
    }
    return fixed;
}();

constexpr unsigned tokenExtraBits(unsigned code) {
    return code == 16 ? 2 : code == 17 ? 3 : code == 18 ? 7 : 0;
}

// Bits of the symbols and their extra bits under the given code lengths.
std::uint64_t symbolBits(const std::uint32_t* freq, const std::uint8_t* lengths, unsigned count) {
    std::uint64_t bits = 0;
    for (unsigned s = 0; s < count; ++s)
        bits += std::uint64_t{freq[s]} * lengths[s];
    return bits;
}

std::uint64_t bytesOfBlock(std::uint64_t bits) {
    return (bits + 3 + 7) / 8;
}

} // namespace

DeflateTrees::DeflateTrees() : symbols_(std::make_unique<std::uint32_t[]>(BlockItems)) {}

void DeflateTrees::startEntry(bool estimateEarlyEnd) {
    estimateEarlyEnd_ = estimateEarlyEnd;
    resetBlock();
}

void DeflateTrees::resetBlock() {
    literalFreq_.fill(0);
    distanceFreq_.fill(0);
    items_ = 0;
    matches_ = 0;
}

std::uint16_t DeflateTrees::guessDataType() const {
    std::uint64_t binary = 0, ascii = 0;
    for (unsigned b = 0; b < 256; ++b)
        (b >= 7 && b < 128 ? ascii : binary) += literalFreq_[b];
    return (ascii >> 2) >= binary ? 1 : 0;
}

bool DeflateTrees::compressesWellEnough(std::int64_t blockInput) const {
    std::uint64_t outBits = std::uint64_t{items_} * 8;
    for (unsigned d = 0; d < DistanceCodes; ++d)
        outBits += std::uint64_t{distanceFreq_[d]} * (5 + DistanceExtra[d]);
    return matches_ < items_ / 2 && static_cast<std::int64_t>(outBits >> 3) < blockInput / 2;
}

bool DeflateTrees::flushBlock(const std::uint8_t* data, std::uint64_t inputBytes, bool last,
                              DeflateBitWriter& out) {
    literalFreq_[EndOfBlock] = 1;
    literalCount_ =
        buildCodeLengths(literalFreq_.data(), LiteralCodes, MaxBits, literalLength_.data());
    distanceCount_ =
        buildCodeLengths(distanceFreq_.data(), DistanceCodes, MaxBits, distanceLength_.data());

    std::uint64_t extraBits = 0;
    for (unsigned c = 0; c < LengthCodes; ++c)
        extraBits += std::uint64_t{literalFreq_[EndOfBlock + 1 + c]} * LengthExtra[c];
    for (unsigned d = 0; d < DistanceCodes; ++d)
        extraBits += std::uint64_t{distanceFreq_[d]} * DistanceExtra[d];
    const std::uint64_t dynamicBits =
        prepareDynamicHeader(literalCount_, distanceCount_) + extraBits +
        symbolBits(literalFreq_.data(), literalLength_.data(), LiteralCodes) +
        symbolBits(distanceFreq_.data(), distanceLength_.data(), DistanceCodes);
    const std::uint64_t fixedBits =
        extraBits + symbolBits(literalFreq_.data(), Fixed.literalLength.data(), LiteralCodes) +
        symbolBits(distanceFreq_.data(), Fixed.distanceLength.data(), DistanceCodes);
    const std::uint64_t fixedBytes = bytesOfBlock(fixedBits);
    const std::uint64_t chosenBytes = std::min(bytesOfBlock(dynamicBits), fixedBytes);

    bool storedEntry = false;
    if (last && data != nullptr && out.nothingWritten() && inputBytes <= chosenBytes) {
        out.writeRaw(data, inputBytes);
        storedEntry = true;
    } else if (data != nullptr && inputBytes + 4 <= chosenBytes) {
        writeStoredBlocks(data, inputBytes, last, out);
    } else if (fixedBytes == chosenBytes) {
        out.put(2u | last, 3);
        writeSymbols(out, Fixed.literalCode.data(), Fixed.literalLength.data(),
                     Fixed.distanceCode.data(), Fixed.distanceLength.data());
    } else {
        out.put(4u | last, 3);
        writeDynamicHeader(out);
        buildCodes(literalLength_.data(), literalCount_, literalCode_.data());
        buildCodes(distanceLength_.data(), distanceCount_, distanceCode_.data());
        writeSymbols(out, literalCode_.data(), literalLength_.data(), distanceCode_.data(),
                     distanceLength_.data());
    }
    resetBlock();
    if (last)
        out.alignToByte();
    return storedEntry;
}

// Run-length codes the code lengths of both trees as one sequence, builds the
// bit-length code for it and returns the size of the dynamic header in bits.
std::uint64_t DeflateTrees::prepareDynamicHeader(unsigned literalCount, unsigned distanceCount) {
    std::uint8_t lengths[MaxTokens];
    std::copy_n(literalLength_.begin(), literalCount, lengths);
    std::copy_n(distanceLength_.begin(), distanceCount, lengths + literalCount);
    const unsigned count = literalCount + distanceCount;

    bitLengthFreq_.fill(0);
    tokenCount_ = 0;
    auto addToken = [this](unsigned code, unsigned extra) {
        tokenCode_[tokenCount_] = static_cast<std::uint8_t>(code);
        tokenExtra_[tokenCount_++] = static_cast<std::uint8_t>(extra);
        ++bitLengthFreq_[code];
    };
    for (unsigned i = 0; i < count;) {
        const unsigned value = lengths[i];
        unsigned run = 1;
        while (i + run < count && lengths[i + run] == value)
            ++run;
        i += run;
        if (value == 0) {
            for (; run >= 11; run -= std::min(run, 138u))
                addToken(18, std::min(run, 138u) - 11);
            if (run >= 3) {
                addToken(17, run - 3);
                run = 0;
            }
        } else {
            addToken(value, 0);
            for (--run; run >= 3; run -= std::min(run, 6u))
                addToken(16, std::min(run, 6u) - 3);
        }
        for (; run > 0; --run)
            addToken(value, 0);
    }

    buildCodeLengths(bitLengthFreq_.data(), BitLengthCodes, MaxBitLengthBits,
                     bitLengthLength_.data());
    bitLengthCount_ = BitLengthCodes;
    while (bitLengthCount_ > 4 && bitLengthLength_[BitLengthOrder[bitLengthCount_ - 1]] == 0)
        --bitLengthCount_;

    std::uint64_t bits = 5 + 5 + 4 + 3 * bitLengthCount_;
    for (unsigned t = 0; t < tokenCount_; ++t)
        bits += bitLengthLength_[tokenCode_[t]] + tokenExtraBits(tokenCode_[t]);
    return bits;
}

void DeflateTrees::writeDynamicHeader(DeflateBitWriter& out) const {
    std::uint16_t codes[BitLengthCodes];
    buildCodes(bitLengthLength_.data(), BitLengthCodes, codes);
    out.put(literalCount_ - 257, 5);
    out.put(distanceCount_ - 1, 5);
    out.put(bitLengthCount_ - 4, 4);
    out.commit();
    for (unsigned i = 0; i < bitLengthCount_; ++i) {
        out.put(bitLengthLength_[BitLengthOrder[i]], 3);
        out.commit();
    }
    for (unsigned t = 0; t < tokenCount_; ++t) {
        const unsigned code = tokenCode_[t];
        out.put(codes[code], bitLengthLength_[code]);
        out.put(tokenExtra_[t], tokenExtraBits(code));
        out.commit();
    }
}

void DeflateTrees::writeStoredBlocks(const std::uint8_t* data, std::uint64_t size, bool last,
                                     DeflateBitWriter& out) const {
    // A stored block holds at most 65535 bytes.
    do {
        const unsigned piece = static_cast<unsigned>(std::min<std::uint64_t>(size, 65535));
        size -= piece;
        out.put(last && size == 0 ? 1 : 0, 3);
        out.alignToByte();
        out.put16(piece);
        out.put16(~piece);
        out.writeRaw(data, piece);
        data += piece;
    } while (size > 0);
}

void DeflateTrees::writeSymbols(DeflateBitWriter& out, const std::uint16_t* literalCodes,
                                const std::uint8_t* literalLengths,
                                const std::uint16_t* distanceCodes,
                                const std::uint8_t* distanceLengths) const {
    const std::uint32_t* const symbols = symbols_.get();
    for (unsigned i = 0, n = items_; i < n; ++i) {
        const std::uint32_t symbol = symbols[i];
        const unsigned value = symbol & 0xFF;
        const unsigned distance = symbol >> 8;
        if (distance == 0) {
            out.put(literalCodes[value], literalLengths[value]);
        } else {
            const unsigned lc = LengthCodeOf[value];
            out.put(literalCodes[EndOfBlock + 1 + lc], literalLengths[EndOfBlock + 1 + lc]);
            out.put(value - (LengthBase[lc] - 3), LengthExtra[lc]);
            const unsigned d = distance - 1;
            const unsigned dc = distanceCode(d);
            out.put(distanceCodes[dc], distanceLengths[dc]);
            out.put(d - (DistanceBase[dc] - 1), DistanceExtra[dc]);
        }
        out.commit();
    }
    out.put(literalCodes[EndOfBlock], literalLengths[EndOfBlock]);
    out.commit();
}

} // namespace kd
