#include "zip/deflate/Deflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kd;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Compressed {
    Bytes data;
    std::uint64_t result = 0;
    DeflateEntry entry;
    std::size_t largestPiece = 0;
};

// Compresses through read calls of at most `chunk` bytes.
Compressed compress(Deflater& deflater, const Bytes& input, int level, std::size_t chunk = SIZE_MAX,
                    DeflateEntry entry = {}) {
    Compressed out;
    out.entry = entry;
    std::size_t offset = 0;
    out.result = deflater.DeflateStream(
        [&](std::uint8_t* buffer, std::size_t size) {
            const std::size_t n = std::min({size, chunk, input.size() - offset});
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer);
            offset += n;
            return n;
        },
        [&](const std::uint8_t* bytes, std::size_t size) {
            out.data.insert(out.data.end(), bytes, bytes + size);
            out.largestPiece = std::max(out.largestPiece, size);
        },
        level, out.entry);
    return out;
}

// zlib's raw inflate as the independent decoder; fails on any error or excess data.
Bytes inflateRaw(const Bytes& packed, std::size_t expectedSize) {
    Bytes out(expectedSize + 16);
    z_stream zs{};
    EXPECT_EQ(inflateInit2(&zs, -15), Z_OK);
    zs.next_in = const_cast<Bytef*>(packed.data());
    zs.avail_in = static_cast<uInt>(packed.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&zs, Z_FINISH);
    EXPECT_EQ(rc, Z_STREAM_END) << (zs.msg ? zs.msg : "");
    EXPECT_EQ(zs.avail_in, 0u) << "data after the final block";
    out.resize(zs.total_out);
    inflateEnd(&zs);
    return out;
}

// The entry as a reader would restore it: stored bytes as they are, else inflated.
Bytes restore(const Compressed& c, std::size_t expectedSize) {
    return c.entry.Method == 0 ? c.data : inflateRaw(c.data, expectedSize);
}

Bytes randomBytes(std::size_t size, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng() % alphabet);
    return bytes;
}

Bytes readFilePiece(const std::string& path, std::size_t offset, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes(std::istreambuf_iterator<char>(in), {});
    offset = std::min(offset, bytes.size());
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() +
                     static_cast<std::ptrdiff_t>(std::min(bytes.size(), offset + size)));
}

Bytes cxxHeaders() {
    Bytes text;
    for (const char* name : {"vector", "bits/stl_vector.h", "bits/basic_string.h", "algorithm",
                             "bits/stl_algo.h", "bits/regex_compiler.tcc"}) {
        const Bytes piece = readFilePiece(std::string("/usr/include/c++/12/") + name, 0, SIZE_MAX);
        text.insert(text.end(), piece.begin(), piece.end());
    }
    return text;
}

class DeflateAtLevel : public testing::TestWithParam<int> {
protected:
    void expectRoundTrip(const Bytes& input, std::size_t chunk = SIZE_MAX) {
        const Compressed c = compress(deflater_, input, GetParam(), chunk);
        EXPECT_EQ(c.result, c.data.size());
        if (c.entry.Method == 0) {
            EXPECT_EQ(c.data.size(), input.size());
        } else {
            EXPECT_EQ(c.entry.Method, 8);
        }
        EXPECT_TRUE(restore(c, input.size()) == input) << "input of " << input.size() << " bytes";
    }

    Deflater deflater_; // one compressor for every entry of a test, as in an archive run
};

} // namespace

TEST_P(DeflateAtLevel, EmptyInputIsStoredWithNoBytes) {
    const Compressed c = compress(deflater_, {}, GetParam());
    EXPECT_EQ(c.result, 0u);
    EXPECT_TRUE(c.data.empty());
    EXPECT_EQ(c.entry.Method, 0);
}

TEST_P(DeflateAtLevel, SmallInputsOfEverySizeRoundTrip) {
    expectRoundTrip({'x'});
    for (std::size_t size = 1; size <= 600; ++size)
        expectRoundTrip(randomBytes(size, static_cast<unsigned>(size), size % 3 == 0 ? 256 : 4));
}

TEST_P(DeflateAtLevel, IncompressibleDataStaysWithinStoredSize) {
    const Bytes input = randomBytes(65536, 7);
    const Compressed c = compress(deflater_, input, GetParam());
    EXPECT_LE(c.data.size(), input.size() + 5 * 4);
    expectRoundTrip(input);
}

TEST_P(DeflateAtLevel, LongRunsCrossWindowMoves) {
    Bytes input(200000, 'a');
    for (std::size_t i = 70000; i < input.size(); i += 997)
        input[i] = 'b';
    expectRoundTrip(input);
    const Compressed c = compress(deflater_, input, GetParam());
    if (GetParam() > 0) {
        EXPECT_LT(c.data.size(), 2000u);
    }
}

TEST_P(DeflateAtLevel, RepeatsBeyondTheMatchDistanceRoundTrip) {
    // A 40 KB block repeated lies further back than any match may reach; shorter
    // repeats lie within reach.
    Bytes input = randomBytes(40000, 11);
    const Bytes block = input;
    input.insert(input.end(), block.begin(), block.end());
    input.insert(input.end(), block.begin(), block.begin() + 20000);
    input.insert(input.end(), block.begin() + 20000, block.end());
    input.insert(input.end(), block.begin() + 20000, block.end());
    expectRoundTrip(input);
}

TEST_P(DeflateAtLevel, TextAndBinaryFilesRoundTrip) {
    expectRoundTrip(cxxHeaders());
    expectRoundTrip(readFilePiece("/usr/bin/cmake", 1 << 20, 300000));
}

TEST_P(DeflateAtLevel, ReadsOfAFewBytesAtATimeRoundTrip) {
    Bytes input = cxxHeaders();
    input.resize(std::min<std::size_t>(input.size(), 100000));
    expectRoundTrip(input, 7);
    expectRoundTrip(input, 1);
}

TEST_P(DeflateAtLevel, MatchesAtEveryPositionFillBlocksSafely) {
    // Four-byte pieces of a 30 KB random base in random order: a match at nearly every
    // position, mostly at distances above 4096, enough for several full blocks.
    const Bytes base = randomBytes(30000, 5);
    Bytes input = base;
    std::mt19937 rng(9);
    while (input.size() < 400000) {
        const std::size_t at = rng() % (base.size() - 4);
        input.insert(input.end(), base.begin() + static_cast<std::ptrdiff_t>(at),
                     base.begin() + static_cast<std::ptrdiff_t>(at + 4));
    }
    expectRoundTrip(input);
}

TEST_P(DeflateAtLevel, MatchesNeverRunPastTheEndOfInput) {
    // The window still holds a long periodic entry; a short entry with the same period
    // must not match into those stale bytes.
    Bytes previous;
    for (int i = 0; i < 70000; ++i)
        previous.push_back(static_cast<std::uint8_t>("abcdefg"[i % 7]));
    expectRoundTrip(previous);
    for (std::size_t size = 8; size < 600; size += 37)
        expectRoundTrip(
            Bytes(previous.begin(), previous.begin() + static_cast<std::ptrdiff_t>(size)));
}

TEST_P(DeflateAtLevel, OutputLeavesInSmallPieces) {
    const Bytes input = cxxHeaders();
    const Compressed c = compress(deflater_, input, GetParam());
    if (GetParam() > 0) {
        EXPECT_LE(c.largestPiece, 1024u);
    }
}

INSTANTIATE_TEST_SUITE_P(AllLevels, DeflateAtLevel, testing::Range(0, 10));

TEST(Deflate, FlagBitsFollowTheLevel) {
    Deflater deflater;
    const Bytes input = randomBytes(5000, 3, 8);
    auto flagsAt = [&](int level, std::uint16_t before) {
        DeflateEntry entry;
        entry.Flags = before;
        return compress(deflater, input, level, SIZE_MAX, entry).entry.Flags;
    };
    EXPECT_EQ(flagsAt(1, 0), 4);
    EXPECT_EQ(flagsAt(2, 0), 4);
    EXPECT_EQ(flagsAt(6, 0), 0);
    EXPECT_EQ(flagsAt(8, 0), 2);
    EXPECT_EQ(flagsAt(9, 0), 2);
    // Other bits (encryption, name encoding) are kept; stale level bits are replaced.
    EXPECT_EQ(flagsAt(6, 0x0801 | 6), 0x0801);
    EXPECT_EQ(flagsAt(9, 0x0001 | 4), 0x0003);
}

TEST(Deflate, IncompressibleSingleBlockIsStoredWhole) {
    Deflater deflater;
    const Bytes input = randomBytes(20000, 21);
    for (int level = 1; level <= 9; ++level) {
        const Compressed c = compress(deflater, input, level);
        EXPECT_EQ(c.entry.Method, 0) << "level " << level;
        EXPECT_EQ(c.result, input.size());
        EXPECT_TRUE(c.data == input);
    }
}

TEST(Deflate, CompressibleInputIsDeflated) {
    Deflater deflater;
    const Bytes input(1000, 'z');
    const Compressed c = compress(deflater, input, 6);
    EXPECT_EQ(c.entry.Method, 8);
    EXPECT_LT(c.result, 50u);
}

TEST(Deflate, DataTypeIsGuessedOnlyWhenUndecided) {
    Deflater deflater;
    const Bytes text = cxxHeaders();
    const Bytes binary = readFilePiece("/usr/bin/cmake", 1 << 20, 100000);
    EXPECT_EQ(compress(deflater, text, 6).entry.InternalAttributes, 1);
    EXPECT_EQ(compress(deflater, binary, 6).entry.InternalAttributes, 0);
    DeflateEntry decided;
    decided.InternalAttributes = 0;
    EXPECT_EQ(compress(deflater, text, 6, SIZE_MAX, decided).entry.InternalAttributes, 0);
}

TEST(Deflate, FailingWriteLeavesTheCompressorUsable) {
    Deflater deflater;
    const Bytes input = cxxHeaders();
    DeflateEntry entry;
    std::size_t calls = 0;
    EXPECT_THROW(deflater.DeflateStream(
                     [&](std::uint8_t* buffer, std::size_t size) {
                         std::memset(buffer, 'q', size);
                         return size; // endless input
                     },
                     [&](const std::uint8_t*, std::size_t) {
                         if (++calls == 3)
                             throw std::runtime_error("disk full");
                     },
                     6, entry),
                 std::runtime_error);
    const Compressed c = compress(deflater, input, 6);
    EXPECT_TRUE(inflateRaw(c.data, input.size()) == input);
}
