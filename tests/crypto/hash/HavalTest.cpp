#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "crypto/hash/Haval.h"
#include "crypto/support/HashOracle.h"
#include "crypto/support/MhashOracle.h"

namespace kd {
namespace {

using test::HexDigestOf;
using test::ToHex;

struct HavalCase {
    const HashClass& cls;
    const char* oracle;
    int defaultPasses;
    const char* emptyDigest; // published, with the default pass count
};

class HavalTest : public ::testing::TestWithParam<HavalCase> {
protected:
    std::shared_ptr<THash_Haval256> Make() const {
        return std::dynamic_pointer_cast<THash_Haval256>(GetParam().cls.Create());
    }
};

TEST_P(HavalTest, PublishedVectorAndDefaultPasses) {
    const auto haval = Make();
    EXPECT_EQ(HexDigestOf(*haval, ""), GetParam().emptyDigest);
    EXPECT_EQ(haval->Passes(), GetParam().defaultPasses);
}

// The oracle computes 3 passes for every digest size.
TEST_P(HavalTest, MatchesOracleOnAnyLengthAndCut) {
    const auto haval = Make();
    haval->SetPasses(3);
    const std::string data = test::RandomBytes(1 << 20, 21);
    test::ExpectOracleDigests(*haval, data,
                              test::MhashDigests(GetParam().oracle, &data, test::OracleLengths()));
}

TEST_P(HavalTest, PassCountOutsideRangeTakesTheDefault) {
    const auto haval = Make();
    for (int passes : {0, 2, 6}) {
        haval->SetPasses(passes);
        haval->Init();
        EXPECT_EQ(haval->Passes(), GetParam().defaultPasses) << passes;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, HavalTest,
    ::testing::Values(
        HavalCase{HashClassOf<THash_Haval128>(), "haval128", 3, "c68f39913f901f3ddf44c707357a7d70"},
        HavalCase{HashClassOf<THash_Haval160>(), "haval160", 3,
                  "d353c3ae22a25401d257643836d7231a9a95f953"},
        HavalCase{HashClassOf<THash_Haval192>(), "haval192", 4,
                  "4a8372945afa55c7dead800311272523ca19d42ea47b72da"},
        HavalCase{HashClassOf<THash_Haval224>(), "haval224", 4,
                  "3e56243275b3b81561750550e36fcd676ad2f5dd9e15f2e89e6ed78e"},
        HavalCase{HashClassOf<THash_Haval256>(), "haval256", 5,
                  "be417bb4dd5cfb76c7126f4f8eeb1553a449039307b1a3cd451dbfdc0fbbe330"}),
    [](const auto& test) { return test.param.cls.ClassName(); });

// Published digests of the other pass counts; the message spans a padding boundary.
TEST(HavalPassesTest, PublishedVectors) {
    THash_Haval128 haval128;
    haval128.SetPasses(4);
    EXPECT_EQ(HexDigestOf(haval128, ""), "ee6bbf4d6a46a679b3a856c88538bb98");
    THash_Haval256 haval256;
    EXPECT_EQ(HexDigestOf(haval256, "The quick brown fox jumps over the lazy dog", {20, 1}),
              "b89c551cdfe2e06dbd4cea2be1bc7d557416c58ebb4d07cbc94e49f710c55be4");
    EXPECT_EQ(ToHex(haval256.KnownAnswer()), HexDigestOf(haval256, "abc"));
}

// From 2^28 bytes on the bit length no longer fits a signed 32-bit number.
TEST(HavalPassesTest, LongMessageKeepsItsStandardDigest) {
    const std::size_t size = (std::size_t{1} << 28) + 100;
    const auto expected = test::MhashDigests("haval128", nullptr, {size});
    ASSERT_EQ(expected.size(), 1u);
    const std::string zeros(1 << 20, '\0');
    THash_Haval128 haval;
    haval.Init();
    for (std::size_t done = 0; done < size; done += zeros.size())
        haval.Update(zeros.data(), std::min(zeros.size(), size - done));
    haval.Final();
    EXPECT_EQ(ToHex(haval.DigestBytes()), expected[0]);
}

} // namespace
} // namespace kd
