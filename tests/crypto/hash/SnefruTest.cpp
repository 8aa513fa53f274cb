#include <gtest/gtest.h>

#include <string>

#include "crypto/base/Bits.h"
#include "crypto/hash/Snefru.h"
#include "crypto/support/HashOracle.h"
#include "crypto/support/MhashOracle.h"

namespace kd {
namespace {

using test::HexDigestOf;
using test::ToHex;

// Standard Snefru-256 from our compression: the last partial block zero-padded, then a
// block of its own holding the bit length big-endian.
std::string StandardDigest(const std::string& message) {
    std::uint8_t chain[snefru::kChainSize] = {};
    std::string padded = message;
    padded.resize((message.size() + 31) / 32 * 32, '\0');
    std::string length(32, '\0');
    StoreBE64(reinterpret_cast<std::uint8_t*>(length.data()) + 24,
              std::uint64_t{message.size()} * 8);
    padded += length;
    snefru::Compress(chain, reinterpret_cast<const std::uint8_t*>(padded.data()),
                     padded.size() / snefru::kBlockSize);
    return ToHex(std::string(reinterpret_cast<const char*>(chain), sizeof chain));
}

// rhash's digests of the prefixes of a megabyte: every S-box entry, the rounds, the
// rotations and the folding of the working block take part.
TEST(SnefruTest, CompressionMatchesRhash) {
    const std::string data = test::RandomBytes(1 << 20, 31);
    const auto lengths = test::OracleLengths();
    const auto expected = test::RhashDigests("--snefru256", data, lengths);
    ASSERT_EQ(expected.size(), lengths.size()) << "rhash is missing";
    for (std::size_t i = 0; i < lengths.size(); ++i)
        ASSERT_EQ(StandardDigest(data.substr(0, lengths[i])), expected[i])
            << lengths[i] << " bytes";
}

// The length shares the last block when it fits and is stored little-endian, so only
// the empty message, a single zero block either way, has the standard digest.
TEST(SnefruTest, DigestsOfItsOwnFinalisation) {
    THash_Snefru snefru;
    EXPECT_EQ(HexDigestOf(snefru, ""),
              "8617f366566a011837f4fb4ba5bedea2b892f3ed8b894023d16ae344b2be5881");
    EXPECT_EQ(HexDigestOf(snefru, "abc"),
              "b55c7097cd73ea1ef018cd8334976eb0e8bb2c3ed20337efa2da8b45795c50e9");
    EXPECT_NE(HexDigestOf(snefru, "abc"), StandardDigest("abc"));
    // 24 pending bytes leave no room for the length: a zero block takes it.
    EXPECT_EQ(HexDigestOf(snefru, std::string(24, 'a')),
              "c66a2648652ad717059edd360c5abfbb2eba80cd6ec2cbfccfe8618ea97fabbe");
    EXPECT_EQ(HexDigestOf(snefru, std::string(32, 'a')),
              "d9048816561182cb4ac2bd812d118d9478f60baeba5c4242be81e6dd7db59c69");
    EXPECT_EQ(HexDigestOf(snefru, std::string(1000, 'a')),
              "305c71de740938ffc535ef89a8fbca32c0b9df3c3e3e5c89996496a0f5e06943");
}

TEST(SnefruTest, DigestDoesNotDependOnTheCuts) {
    THash_Snefru snefru;
    test::ExpectDigestIgnoresCuts(snefru, {0, 23, 24, 31, 32, 33, 100, 1000}, 80);
}

} // namespace
} // namespace kd
