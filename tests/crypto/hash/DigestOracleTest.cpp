// Our digests against outside programs on every length from 0 to 300 and on 1 MB, fed
// whole and cut at random points.
#include <gtest/gtest.h>

#include "crypto/hash/Checksums.h"
#include "crypto/hash/MD5.h"
#include "crypto/hash/SHA.h"
#include "crypto/hash/ShaCompress.h"
#include "crypto/support/HashOracle.h"
#include "support/TempDir.h"

namespace kd::test {
namespace {

struct OracleCase {
    const char* name;
    const HashClass& (*cls)();
    enum { Python, Rhash } tool;
    const char* algorithm;
};

class DigestOracleTest : public ::testing::TestWithParam<OracleCase> {};

TEST_P(DigestOracleTest, MatchesOracleWholeAndInPieces) {
    const auto& c = GetParam();
    const std::string data = RandomBytes(1 << 20, 7);
    const auto lengths = OracleLengths();
    const auto expected = c.tool == OracleCase::Python ? PythonDigests(c.algorithm, data, lengths)
                                                       : RhashDigests(c.algorithm, data, lengths);
    if (expected.size() != lengths.size())
        GTEST_SKIP() << "oracle for " << c.name << " not available";
    const HashClass& cls = c.cls();
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const std::string prefix = data.substr(0, lengths[i]);
        ASSERT_EQ(HexDigest(cls, prefix), expected[i]) << c.name << ", length " << lengths[i];
    }
    EXPECT_EQ(HexDigestInPieces(cls, data, 11), expected.back());
    EXPECT_EQ(HexDigestInPieces(cls, data.substr(0, 300), 12), expected[300]);
}

INSTANTIATE_TEST_SUITE_P(
    Hashes, DigestOracleTest,
    ::testing::Values(OracleCase{"MD4", &HashClassOf<THash_MD4>, OracleCase::Rhash, "--md4"},
                      OracleCase{"MD5", &HashClassOf<THash_MD5>, OracleCase::Python, "md5"},
                      OracleCase{"SHA1", &HashClassOf<THash_SHA1>, OracleCase::Python, "sha1"},
                      OracleCase{"CRC32", &HashClassOf<THash_CRC32>, OracleCase::Python, "crc32"}),
    [](const auto& param) { return std::string(param.param.name); });

// SHA-0 has no oracle at hand: the first version of the standard's own examples.
TEST(ShaTest, FirstVersionExamples) {
    const auto& sha = HashClassOf<THash_SHA>();
    EXPECT_EQ(HexDigest(sha, "abc"), "0164b8a914cd2a5e74c4f7ff082c4d97f1edf880");
    EXPECT_EQ(HexDigest(sha, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "d2516ee1acfa5baf33dfc1c471e438449ef134c8");
    EXPECT_EQ(HexDigestInPieces(sha, std::string(1000000, 'a'), 3),
              "3232affa48628a26653b5aaa44541fd90d690603");
}

// Both forms of SHA-1's compression agree (the instruction form only where the processor
// has it).
TEST(ShaTest, InstructionFormMatchesPortable) {
    if (!sha_detail::ShaInstructionsAvailable())
        GTEST_SKIP() << "no SHA instructions";
    const std::string data = RandomBytes(64 * 50, 5);
    std::uint32_t a[5] = {1, 2, 3, 4, 5}, b[5] = {1, 2, 3, 4, 5};
    for (std::size_t i = 0; i < data.size(); i += 64) {
        const auto* block = reinterpret_cast<const std::uint8_t*>(data.data() + i);
        sha_detail::CompressPortable(a, block, true);
        sha_detail::CompressSha1Instructions(b, block);
        ASSERT_EQ(std::vector<std::uint32_t>(a, a + 5), std::vector<std::uint32_t>(b, b + 5));
    }
}

// The byte counter is 64 bits wide: past 2^29 bytes the bit length would wrap in 32.
TEST(MD4FamilyTest, MessagesPast512MiBKeepTheirStandardDigest) {
    const std::string zeros(1 << 20, '\0');
    const auto md5 = HashClassOf<THash_MD5>().Create();
    md5->Init();
    for (int i = 0; i < 512; ++i)
        md5->Update(zeros.data(), zeros.size());
    md5->Update(zeros.data(), 3);
    md5->Final();
    std::string out;
    ASSERT_EQ(runCommand("python3 -c \"import hashlib; h = hashlib.md5(); "
                         "[h.update(bytes(1 << 20)) for _ in range(512)]; h.update(bytes(3)); "
                         "print(h.hexdigest())\"",
                         &out),
              0);
    EXPECT_EQ(ToHex(md5->DigestBytes()) + "\n", out);
}

} // namespace
} // namespace kd::test
