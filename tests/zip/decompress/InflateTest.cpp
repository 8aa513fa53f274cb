#include "zip/support/DecompressTestSupport.h"

#include "zip/decompress/DecompressError.h"
#include "zip/decompress/InflateDecoder.h"

#include <gtest/gtest.h>
#include <random>
#include <zlib.h>

using namespace kd;
using namespace kd::test;

namespace {

Bytes Inflate(const Bytes& stream, std::size_t piece = 1u << 20) {
    static InflateDecoder decoder; // reused on purpose: state must reset per stream
    MemoryInput input(stream, piece);
    VectorOutput output;
    decoder.Run(input, output);
    return output.bytes;
}

Bytes PeriodicData(std::size_t size) {
    Bytes out;
    for (std::size_t period = 1; out.size() < size; period = period % 9 + 1)
        for (std::size_t i = 0; i < 3000 && out.size() < size; ++i)
            out.push_back(static_cast<std::uint8_t>('a' + i % period));
    return out;
}

std::vector<Bytes> Samples() {
    return {Bytes{},           Bytes{'x'},       TextLikeData(100),   TextLikeData(300000, 7),
            RandomData(70000), Bytes(100000, 0), PeriodicData(90000), TextLikeData(40000, 3)};
}

struct ZlibSetting {
    int level;
    int windowBits;
    int strategy;
};

class InflateZlibStreams : public testing::TestWithParam<ZlibSetting> {};

} // namespace

TEST_P(InflateZlibStreams, DecodesEverySample) {
    const ZlibSetting s = GetParam();
    for (const Bytes& data : Samples()) {
        const Bytes stream = ZlibDeflate(data, s.level, s.windowBits, s.strategy);
        EXPECT_EQ(Inflate(stream), data) << "size " << data.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, InflateZlibStreams,
                         testing::Values(ZlibSetting{0, 15, Z_DEFAULT_STRATEGY},
                                         ZlibSetting{1, 15, 0}, ZlibSetting{2, 15, 0},
                                         ZlibSetting{3, 15, 0}, ZlibSetting{4, 15, 0},
                                         ZlibSetting{5, 15, 0}, ZlibSetting{6, 15, 0},
                                         ZlibSetting{7, 15, 0}, ZlibSetting{8, 15, 0},
                                         ZlibSetting{9, 15, 0}));
INSTANTIATE_TEST_SUITE_P(Strategies, InflateZlibStreams,
                         testing::Values(ZlibSetting{6, 15, Z_FIXED},
                                         ZlibSetting{6, 15, Z_HUFFMAN_ONLY},
                                         ZlibSetting{6, 15, Z_RLE},
                                         ZlibSetting{6, 15, Z_FILTERED}));
INSTANTIATE_TEST_SUITE_P(WindowSizes, InflateZlibStreams,
                         testing::Values(ZlibSetting{9, 9, 0}, ZlibSetting{9, 10, 0},
                                         ZlibSetting{9, 11, 0}, ZlibSetting{9, 12, 0},
                                         ZlibSetting{9, 13, 0}, ZlibSetting{9, 14, 0}));

TEST(Inflate, InputInSmallPiecesGivesTheSameBytes) {
    const Bytes data = TextLikeData(200000, 5);
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED})
        for (int level : {0, 6}) {
            const Bytes stream = ZlibDeflate(data, level, 15, strategy);
            for (std::size_t piece : {1, 3, 64, 4099})
                EXPECT_EQ(Inflate(stream, piece), data) << level << "/" << piece;
        }
}

TEST(Inflate, IgnoresBytesAfterTheFinalBlock) {
    const Bytes data = TextLikeData(5000);
    Bytes stream = ZlibDeflate(data, 6);
    stream.resize(stream.size() + 100, 0xFF);
    EXPECT_EQ(Inflate(stream), data);
}

TEST(Inflate, RejectsBlockTypeThree) {
    EXPECT_THROW(Inflate({0x07, 0x00}), EBadCompressedData);
}

TEST(Inflate, RejectsStoredBlockWithWrongComplement) {
    EXPECT_NO_THROW(Inflate({0x01, 0x02, 0x00, 0xFD, 0xFF, 'h', 'i'}));
    EXPECT_THROW(Inflate({0x01, 0x02, 0x00, 0xFD, 0xFE, 'h', 'i'}), EBadCompressedData);
}

TEST(Inflate, RejectsDistanceBeforeTheStart) {
    // Fixed block: literal 'a', then a match of 3 at distance 1 (fine) or 2 (too far).
    for (unsigned distanceCode : {0u, 1u}) {
        TestBitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.Code(0x30 + 'a', 8);
        w.Code(1, 7); // length code 257: 3 bytes
        w.Code(distanceCode, 5);
        w.Code(0, 7); // end of block
        if (distanceCode == 0)
            EXPECT_EQ(Inflate(w.bytes), (Bytes{'a', 'a', 'a', 'a'}));
        else
            EXPECT_THROW(Inflate(w.bytes), EBadCompressedData);
    }
}

TEST(Inflate, RejectsEveryTruncation) {
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
        const Bytes stream = ZlibDeflate(TextLikeData(3000), 6, 15, strategy);
        for (std::size_t n = 0; n < stream.size(); ++n)
            EXPECT_THROW(Inflate(Bytes(stream.begin(), stream.begin() + static_cast<long>(n))),
                         EBadCompressedData)
                << n;
    }
    const Bytes stored = ZlibDeflate(TextLikeData(3000), 0);
    EXPECT_THROW(Inflate(Bytes(stored.begin(), stored.end() - 1)), EBadCompressedData);
}

// Damaged streams: zlib decides; where it decodes we must give its bytes, where it
// refuses we must refuse too (bad codes, incomplete or over-full code sets, repeats
// past the end, distances too far, truncation).
TEST(Inflate, AgreesWithZlibOnDamagedStreams) {
    std::mt19937 rng(42);
    const Bytes data = TextLikeData(6000, 9);
    std::vector<Bytes> streams = {ZlibDeflate(data, 6), ZlibDeflate(data, 9, 15, Z_FIXED),
                                  ZlibDeflate(data, 6, 15, Z_HUFFMAN_ONLY), ZlibDeflate(data, 1),
                                  ZlibDeflate(PeriodicData(5000), 6, 15, Z_RLE)};
    int accepted = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes stream = streams[rng() % streams.size()];
        const std::size_t reach = round % 2 ? 40 : stream.size(); // half hit the header
        for (unsigned k = 1 + rng() % 3; k-- > 0;)
            stream[rng() % reach] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        const auto expected = ZlibInflate(stream);
        if (expected) {
            ++accepted;
            EXPECT_EQ(Inflate(stream), *expected) << "round " << round;
        } else {
            ++refused;
            EXPECT_THROW(Inflate(stream), EBadCompressedData) << "round " << round;
        }
    }
    EXPECT_GT(accepted, 50);
    EXPECT_GT(refused, 500);
}
