#include "zip/deflate/DeflateHuffman.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace kd;

namespace {

struct Code {
    std::vector<std::uint8_t> lengths;
    unsigned count = 0;
};

Code lengthsFor(const std::vector<std::uint32_t>& freq, unsigned maxBits) {
    Code code;
    code.lengths.assign(freq.size(), 0xEE);
    code.count = buildCodeLengths(freq.data(), static_cast<unsigned>(freq.size()), maxBits,
                                  code.lengths.data());
    return code;
}

// Kraft sum scaled by 2^15: exactly 2^15 for a complete prefix code.
std::uint64_t kraft(const Code& code) {
    std::uint64_t sum = 0;
    for (const std::uint8_t length : code.lengths)
        if (length != 0)
            sum += std::uint64_t{1} << (15 - length);
    return sum;
}

} // namespace

TEST(DeflateHuffman, SkewedFrequenciesAreLimitedAndComplete) {
    // Fibonacci weights would need codes of up to 29 bits without the limit.
    std::vector<std::uint32_t> freq(30);
    freq[0] = freq[1] = 1;
    for (std::size_t i = 2; i < freq.size(); ++i)
        freq[i] = freq[i - 1] + freq[i - 2];
    for (const unsigned maxBits : {15u, 7u}) {
        const Code code = lengthsFor(freq, maxBits);
        for (const std::uint8_t length : code.lengths) {
            EXPECT_GE(length, 1);
            EXPECT_LE(length, maxBits);
        }
        EXPECT_EQ(kraft(code), 1u << 15);
        EXPECT_LE(code.lengths[29], code.lengths[0]); // frequent symbols get short codes
    }
}

TEST(DeflateHuffman, UnusedSymbolsGetNoCodeAndCountEndsAtLastUsed) {
    std::vector<std::uint32_t> freq(19, 0);
    freq[2] = 5;
    freq[7] = 1;
    freq[9] = 1;
    const Code code = lengthsFor(freq, 7);
    EXPECT_EQ(code.count, 10u);
    EXPECT_EQ(code.lengths[2], 1);
    EXPECT_EQ(code.lengths[7], 2);
    EXPECT_EQ(code.lengths[9], 2);
    EXPECT_EQ(code.lengths[0] + code.lengths[18], 0);
    EXPECT_EQ(kraft(code), 1u << 15);
}

TEST(DeflateHuffman, FewerThanTwoSymbolsStillGiveACompleteCode) {
    std::vector<std::uint32_t> none(30, 0);
    Code code = lengthsFor(none, 15);
    EXPECT_EQ(kraft(code), 1u << 15);
    EXPECT_EQ(code.count, 2u);

    std::vector<std::uint32_t> one(30, 0);
    one[12] = 40;
    code = lengthsFor(one, 15);
    EXPECT_EQ(code.lengths[12], 1);
    EXPECT_EQ(kraft(code), 1u << 15);
    EXPECT_EQ(code.count, 13u);
}

TEST(DeflateHuffman, CanonicalCodesFollowTheFormat) {
    // The example of RFC 1951 section 3.2.2: lengths (3,3,3,3,3,2,4,4) give codes
    // 010 011 100 101 110 00 1110 1111, sent from the top bit.
    const std::uint8_t lengths[8] = {3, 3, 3, 3, 3, 2, 4, 4};
    std::uint16_t codes[8];
    buildCodes(lengths, 8, codes);
    const unsigned expected[8] = {0b010, 0b011, 0b100, 0b101, 0b110, 0b00, 0b1110, 0b1111};
    for (unsigned i = 0; i < 8; ++i)
        EXPECT_EQ(codes[i], reverseBits(expected[i], lengths[i])) << "symbol " << i;
}
