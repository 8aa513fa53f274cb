#include <gtest/gtest.h>

#include <set>
#include <string>

#include "crypto/hash/Tiger.h"
#include "crypto/support/HashOracle.h"
#include "crypto/support/MhashOracle.h"

namespace kd {
namespace {

using test::HexDigestOf;
using test::ToHex;

// Digests with the 0x01 pad of Tiger's first definition, 3 passes.
TEST(TigerTest, PublishedVectors) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "3293ac630c13f0245f92bbb1766e16167a4e58492dde73f3"},
        {"abc", "2aab1484e8c158f2bfb8c5ff41b57a525129131c957b5f93"},
        {"Tiger", "dd00230799f5009fec6debc838bb6a27df2b9d6f110c7937"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "8dcea680a17583ee502ba38a3c368651890ffbccdc49a8cc"},
        {"Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham",
         "8a866829040a410c729ad23f5ada711603b3cdd357e4c15e"},
        {std::string(1000000, 'a'), "6db0e2729cbead93d715c6a7d36302e9b3cee0d2bc314b41"},
    };
    THash_Tiger tiger;
    for (const auto& c : cases)
        EXPECT_EQ(HexDigestOf(tiger, c.message), c.digest) << c.message.substr(0, 20);
    EXPECT_EQ(ToHex(tiger.KnownAnswer()), cases[1].digest);
}

// Every S-box entry takes part in some of these digests.
TEST(TigerTest, MatchesOracleOnAnyLengthAndCut) {
    THash_Tiger tiger;
    const std::string data = test::RandomBytes(1 << 20, 21);
    const auto expected = test::RhashDigests("--tiger", data, test::OracleLengths());
    ASSERT_FALSE(expected.empty()) << "rhash is missing";
    test::ExpectOracleDigests(tiger, data, expected);
}

TEST(TigerTest, PassCountOutsideRangeBecomesThree) {
    THash_Tiger tiger;
    const std::string data = test::RandomBytes(200, 3);
    const std::string three = HexDigestOf(tiger, data);
    for (int passes : {0, 2, 33, 40}) {
        tiger.SetPasses(passes);
        EXPECT_EQ(HexDigestOf(tiger, data), three) << passes;
        EXPECT_EQ(tiger.Passes(), 3);
    }
}

TEST(TigerTest, EveryPassCountGivesItsOwnDigest) {
    THash_Tiger tiger;
    const std::string data = test::RandomBytes(200, 3);
    std::set<std::string> digests;
    for (int passes = 3; passes <= 32; ++passes) {
        tiger.SetPasses(passes);
        digests.insert(HexDigestOf(tiger, data, test::RandomPieces(data.size(), 70, passes)));
        EXPECT_EQ(tiger.Passes(), passes);
    }
    EXPECT_EQ(digests.size(), 30u);
    // A regression value for more passes, which no outside implementation offers.
    tiger.SetPasses(4);
    EXPECT_EQ(HexDigestOf(tiger, "abc"), "538883c8fc5f28250299018e66bdf4fdb5ef7b65f2e91753");
}

} // namespace
} // namespace kd
