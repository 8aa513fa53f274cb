#include "zip/support/DecompressTestSupport.h"

#include "TestPaths.h"
#include "zip/decompress/DecompressError.h"

#include <gtest/gtest.h>

using namespace kd;
using namespace kd::test;

namespace {

constexpr unsigned kShrunk = 1;

// A shrink stream from codes, with the code size following 256,1.
Bytes Codes(std::initializer_list<unsigned> codes) {
    TestBitWriter w;
    unsigned size = 9;
    bool control = false;
    for (unsigned c : codes) {
        w.Bits(c, size);
        if (control && c == 1)
            ++size;
        control = !control && c == 256;
    }
    return w.bytes;
}

} // namespace

// Made by tests/tools/make_method_fixtures.py and accepted by unzip -t and 7z t:
// code-size increases up to 13 bits, full-table and early partial clears.
TEST(Unshrink, DecodesGeneratedArchive) {
    EXPECT_EQ(CheckFixtureEntries(KORDYNE_TEST_DATA_DIR "/zip/methods/shrink.zip"), 9);
}

TEST(Unshrink, DecodesHandMadeCodes) {
    // a, b, 257 ("ab"), 259 (the code being defined: "ab" + "a"), then a code
    // size increase and 258 ("ba") in 10 bits.
    EXPECT_EQ(Decode(kShrunk, Codes({'a', 'b', 257, 259, 256, 1, 258})),
              (Bytes{'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a'}));
    EXPECT_EQ(Decode(kShrunk, {}), Bytes{});
}

TEST(Unshrink, PartialClearReusesTheLowestFreedCode) {
    // 257 "ab", 258 "ba" (leaves) are freed by 256,2 after the literal 'a'; the next
    // code then defines 257 again as "a" + "c", and 257 reads back as "ac".
    EXPECT_EQ(Decode(kShrunk, Codes({'a', 'b', 'a', 256, 2, 'c', 257})),
              (Bytes{'a', 'b', 'a', 'c', 'a', 'c'}));
}

TEST(Unshrink, RejectsMalformedCodes) {
    EXPECT_THROW(Decode(kShrunk, Codes({300})), EBadCompressedData);         // starts with a string
    EXPECT_THROW(Decode(kShrunk, Codes({'a', 300})), EBadCompressedData);    // not yet defined
    EXPECT_THROW(Decode(kShrunk, Codes({'a', 256, 3})), EBadCompressedData); // unknown control
    EXPECT_THROW(Decode(kShrunk, Codes({'a', 256, 1, 256, 1, 256, 1, 256, 1, 256, 1})),
                 EBadCompressedData); // 14-bit codes
}
