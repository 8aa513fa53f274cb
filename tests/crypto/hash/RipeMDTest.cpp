#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/hash/RipeMD.h"
#include "crypto/support/HashOracle.h"
#include "crypto/support/MhashOracle.h"

namespace kd {
namespace {

using test::ToHex;

// The standard's test messages, in the order of the expected digests below.
const std::vector<std::string>& Messages() {
    static const std::vector<std::string> messages = {
        "",
        "a",
        "abc",
        "message digest",
        "abcdefghijklmnopqrstuvwxyz",
        "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
        std::string(1000000, 'a'),
    };
    return messages;
}

struct RipeMDCase {
    const HashClass& cls;
    const char* oracle;
    std::vector<const char*> digests;
};

class RipeMDTest : public ::testing::TestWithParam<RipeMDCase> {};

TEST_P(RipeMDTest, PublishedVectors) {
    const auto hash = GetParam().cls.Create();
    for (std::size_t i = 0; i < Messages().size(); ++i) {
        hash->Init();
        hash->Update(Messages()[i].data(), Messages()[i].size());
        hash->Final();
        EXPECT_EQ(ToHex(hash->DigestBytes()), GetParam().digests[i]) << "message " << i;
    }
    EXPECT_EQ(ToHex(hash->KnownAnswer()), GetParam().digests[2]);
}

TEST_P(RipeMDTest, MatchesOracleOnAnyLengthAndCut) {
    const std::string data = test::RandomBytes(1 << 20, 21);
    test::ExpectOracleDigests(*GetParam().cls.Create(), data,
                              test::MhashDigests(GetParam().oracle, &data, test::OracleLengths()));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, RipeMDTest,
    ::testing::Values(
        RipeMDCase{HashClassOf<THash_RipeMD128>(),
                   "ripemd128",
                   {"cdf26213a150dc3ecb610f18f6b38b46", "86be7afa339d0fc7cfc785e72f578d33",
                    "c14a12199c66e4ba84636b0f69144c77", "9e327b3d6e523062afc1132d7df9d1b8",
                    "fd2aa607f71dc8f510714922b371834e", "3f45ef194732c2dbb2c4a2c769795fa3",
                    "4a7f5723f954eba1216c9d8f6320431f"}},
        RipeMDCase{
            HashClassOf<THash_RipeMD160>(),
            "ripemd160",
            {"9c1185a5c5e9fc54612808977ee8f548b2258d31", "0bdc9d2d256b3ee9daae347be6f4dc835a467ffe",
             "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc", "5d0689ef49d2fae572b881b123a85ffa21595f36",
             "f71c27109c692c1b56bbdceb5b9d2865b3708dbc", "9b752e45573d4b39f4dbd3323cab82bf63326bfb",
             "52783243c1697bdbe16d37f97f68f08325dc1528"}},
        RipeMDCase{HashClassOf<THash_RipeMD256>(),
                   "ripemd256",
                   {"02ba4c4e5f8ecd1877fc52d64d30e37a2d9774fb1e5d026380ae0168e3c5522d",
                    "f9333e45d857f5d90a91bab70a1eba0cfb1be4b0783c9acfcd883a9134692925",
                    "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65",
                    "87e971759a1ce47a514d5c914c392c9018c7c46bc14465554afcdf54a5070c0e",
                    "649d3034751ea216776bf9a18acc81bc7896118a5197968782dd1fd97d8d5133",
                    "06fdcc7a409548aaf91368c06a6275b553e3f099bf0ea4edfd6778df89a890dd",
                    "ac953744e10e31514c150d4d8d7b677342e33399788296e43ae4850ce4f97978"}},
        RipeMDCase{
            HashClassOf<THash_RipeMD320>(),
            "ripemd320",
            {"22d65d5661536cdc75c1fdf5c6de7b41b9f27325ebc61e8557177d705a0ec880151c3a32a00899b8",
             "ce78850638f92658a5a585097579926dda667a5716562cfcf6fbe77f63542f99b04705d6970dff5d",
             "de4c01b3054f8930a79d09ae738e92301e5a17085beffdc1b8d116713e74f82fa942d64cdbc4682d",
             "3a8e28502ed45d422f68844f9dd316e7b98533fa3f2a91d29f84d425c88d6b4eff727df66a7c0197",
             "cabdb1810b92470a2093aa6bce05952c28348cf43ff60841975166bb40ed234004b8824463e6b009",
             "557888af5f6d8ed62ab66945c6d2a0a47ecd5341e915eb8fea1d0524955f825dc717e4a008ab2d42",
             "bdee37f4371e20646b8b0d862dda16292ae36f40965e8c8509e63d1dbddecc503e2b63eb9245bb66"}}),
    [](const auto& test) { return test.param.cls.ClassName(); });

} // namespace
} // namespace kd
