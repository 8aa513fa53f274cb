#include "zip/support/DecompressTestSupport.h"

#include "TestPaths.h"
#include "zip/decompress/DecompressError.h"

#include <gtest/gtest.h>
#include <map>

using namespace kd;
using namespace kd::test;

namespace {

// Follower sets (255 down to 0; `sets` gives the non-empty ones), then the bytes,
// each as a literal or, where the previous byte has a set, as a follower index.
struct ReduceStream {
    std::map<int, Bytes> sets;
    TestBitWriter w;
    bool started = false;
    void Start() {
        for (int c = 255; c >= 0; --c) {
            const Bytes& set = sets[c];
            w.Bits(static_cast<unsigned>(set.size()), 6);
            for (auto b : set)
                w.Bits(b, 8);
        }
        started = true;
    }
    ReduceStream& Literals(std::initializer_list<unsigned> bytes) {
        if (!started)
            Start();
        for (unsigned b : bytes)
            w.Bits(b, 8);
        return *this;
    }
};

// `first`, then zeros up to `size` bytes.
Bytes FirstThenZeros(std::uint8_t first, std::size_t size) {
    Bytes b(size, 0);
    b[0] = first;
    return b;
}

Bytes Unreduce(unsigned factor, const Bytes& data, std::uint64_t size) {
    return Decode(factor + 1, data, size);
}

} // namespace

// Made by tests/tools/make_method_fixtures.py (factors 1-4, follower sets of every
// size); no other tool here reads this method.
TEST(Unreduce, DecodesGeneratedArchive) {
    EXPECT_EQ(CheckFixtureEntries(KORDYNE_TEST_DATA_DIR "/zip/methods/reduce.zip"), 16);
}

TEST(Unreduce, RepeatsForEveryFactor) {
    // "abc", then 144 with length 1 (+3) and distance 2 (+1): "abca"; then 144, 0.
    for (unsigned factor = 1; factor <= 4; ++factor) {
        ReduceStream s;
        s.Literals({'a', 'b', 'c', 144, 1, 2, 144, 0});
        EXPECT_EQ(Unreduce(factor, s.w.bytes, 8), (Bytes{'a', 'b', 'c', 'a', 'b', 'c', 'a', 144}))
            << factor;
    }
    // Factor 4: length 15 takes one more byte (15 + 2 + 3 = 20); the high nibble
    // 1 adds 256 to the distance (256 + 0 + 1 = 257 back: before the start, zeros).
    ReduceStream s;
    s.Literals({'z', 144, 0x1F, 2, 0});
    EXPECT_EQ(Unreduce(4, s.w.bytes, 21), FirstThenZeros('z', 21));
    // Factor 1: 127 is the length mask; the high bit of 0xFF adds 256.
    ReduceStream one;
    one.Literals({'q', 144, 0xFF, 0, 0});
    EXPECT_EQ(Unreduce(1, one.w.bytes, 131), FirstThenZeros('q', 131));
}

TEST(Unreduce, UsesFollowerSets) {
    ReduceStream s;
    s.sets[0] = {'x', 'y'};
    s.sets['y'] = {'a', 'b', 'c'};
    s.Start();
    s.w.Bits(0, 1);
    s.w.Bits(1, 1); // 'y' by index 1 of the set of byte 0
    s.w.Bits(0, 1);
    s.w.Bits(2, 2); // 'c' by index 2 of the set of 'y'
    EXPECT_EQ(Unreduce(1, s.w.bytes, 2), (Bytes{'y', 'c'}));

    ReduceStream bad;
    bad.sets[0] = {'a', 'b', 'c'};
    bad.Start();
    bad.w.Bits(0, 1);
    bad.w.Bits(3, 2); // index 3 of a set of 3
    EXPECT_THROW(Unreduce(2, bad.w.bytes, 1), EBadCompressedData);
}

TEST(Unreduce, RejectsDataEndingEarly) {
    ReduceStream s;
    s.Literals({'a', 'b'});
    EXPECT_THROW(Unreduce(3, s.w.bytes, 3), EBadCompressedData);
    EXPECT_THROW(Unreduce(3, Bytes(10, 0), 1), EBadCompressedData); // follower sets cut short
}
