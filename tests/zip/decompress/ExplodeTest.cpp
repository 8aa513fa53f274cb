#include "zip/support/DecompressTestSupport.h"

#include "TestPaths.h"
#include "zip/decompress/DecompressError.h"

#include <gtest/gtest.h>

using namespace kd;
using namespace kd::test;

namespace {

constexpr unsigned kImploded = 6;

// Two trees of 64 codes, all 6 bits long (one group of 16 four times each).
Bytes FlatTrees() {
    return {3, 0xF5, 0xF5, 0xF5, 0xF5, 3, 0xF5, 0xF5, 0xF5, 0xF5};
}

} // namespace

// Made by tests/tools/make_method_fixtures.py and accepted by unzip -t and 7z t:
// 4 KB and 8 KB dictionaries, with and without the literal tree.
TEST(Explode, DecodesGeneratedArchive) {
    EXPECT_EQ(CheckFixtureEntries(KORDYNE_TEST_DATA_DIR "/zip/methods/implode.zip"), 12);
}

TEST(Explode, BytesBeforeTheStartAreZero) {
    // No literal tree, 4 KB: a literal 'x', then a match of 2 at distance 3.
    Bytes data = FlatTrees();
    TestBitWriter w;
    w.Bits(1, 1);
    w.Bits('x', 8);
    w.Bits(0, 1);
    w.Bits(2, 6);   // low distance bits: distance - 1 = 2
    w.Code(~0u, 6); // distance code 0: the all-zero canonical code, inverted
    w.Code(~0u, 6); // length code 0: length 2
    data.insert(data.end(), w.bytes.begin(), w.bytes.end());
    EXPECT_EQ(Decode(kImploded, data, 3), (Bytes{'x', 0, 0}));
}

TEST(Explode, RejectsBadTreesAndShortData) {
    Bytes tooMany = {0, 0xF5, 0, 0xF5, 0xF5, 0xF5, 0xF5}; // 16 + more than 48 codes
    tooMany[0] = 4;
    EXPECT_THROW(Decode(kImploded, tooMany, 10), EBadCompressedData);
    EXPECT_THROW(Decode(kImploded, {0, 0xF5}, 10), EBadCompressedData); // 16 of 64 codes
    EXPECT_THROW(Decode(kImploded, {3, 0xF0, 0xF0, 0xF0, 0xF0}, 10),
                 EBadCompressedData); // 64 one-bit codes

    const auto entries = ReadZipEntries(KORDYNE_TEST_DATA_DIR "/zip/methods/implode.zip");
    for (const auto& e : entries)
        if (e.method == kImploded && e.data.size() > 100) {
            const Bytes cut(e.data.begin(), e.data.end() - 40);
            EXPECT_THROW(Decode(kImploded, cut, e.uncompressedSize, e.flags), EBadCompressedData)
                << e.name;
        }
}
