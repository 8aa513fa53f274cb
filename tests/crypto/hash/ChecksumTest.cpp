#include <gtest/gtest.h>

#include "crypto/hash/Checksums.h"
#include "crypto/support/HashOracle.h"

namespace kd::test {
namespace {

template <class T> std::uint32_t registerOf(const std::string& data) {
    T h;
    h.Init();
    h.Update(data.data(), data.size());
    h.Final();
    std::uint32_t v = 0;
    for (std::size_t i = h.DigestSize(); i-- > 0;)
        v = (v << 8) | h.Digest()[i];
    return v;
}

TEST(ChecksumTest, CheckValuesOfTheDigits) {
    EXPECT_EQ(registerOf<THash_CRC32>("123456789"), 0xCBF43926u);
    EXPECT_EQ(registerOf<Thash_CRC16_Standard>("123456789"), 0xBB3Du);
    // Bytes enter the direct form at the low end, so two zero bytes flush the message
    // through: the result is the published CRC-16/AUG-CCITT check value.
    EXPECT_EQ(registerOf<THash_CRC16_CCITT>(std::string("123456789") + '\0' + '\0'), 0xE5CCu);
}

TEST(ChecksumTest, XorSumsRotateThenMix) {
    EXPECT_EQ(registerOf<THash_XOR16>("\x01\x02"), 0x22u);
    // An odd length: the first byte alone, then little-endian words.
    EXPECT_EQ(registerOf<THash_XOR32>("\x01\x02\x03"), (1u << 5) ^ 0x0302u);
    EXPECT_EQ(registerOf<THash_XOR32>("\x01\x02\x03\x04"), (0x0201u << 5) ^ 0x0403u);
}

TEST(ChecksumTest, EveryChecksumIgnoresHowTheInputIsCut) {
    const std::string data = RandomBytes(100001, 9);
    for (const HashClass* cls : {&HashClassOf<THash_XOR16>(), &HashClassOf<THash_XOR32>(),
                                 &HashClassOf<THash_CRC16_CCITT>(),
                                 &HashClassOf<Thash_CRC16_Standard>(), &HashClassOf<THash_CRC32>()})
        for (std::uint32_t seed = 1; seed <= 4; ++seed)
            EXPECT_EQ(HexDigestInPieces(*cls, data, seed), HexDigest(*cls, data))
                << cls->ClassName();
}

} // namespace
} // namespace kd::test
