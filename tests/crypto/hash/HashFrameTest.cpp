#include <gtest/gtest.h>

#include "crypto/format/StringFormat.h"
#include "crypto/hash/HashRegistry.h"
#include "crypto/hash/MD5.h"
#include "crypto/hash/Mac.h"
#include "crypto/hash/SHA.h"
#include "crypto/hash/Tiger.h"
#include "crypto/support/HashOracle.h"
#include "platform/MemoryStream.h"
#include "support/TempDir.h"

namespace kd::test {
namespace {

TEST(HashFrameTest, CalculateOverMemoryStreamFileAndTextGivesTheDigest) {
    const std::string data = RandomBytes(100000, 4);
    const std::string expected = HexDigest(HashClassOf<THash_MD5>(), data);
    THash_MD5 h;
    std::string copy = data;
    h.ProcessMemory(copy.data(), copy.size(), TProtectionAction::Calculate);
    EXPECT_EQ(ToHex(h.DigestBytes()), expected);
    MemoryStream stream(data);
    h.ProcessStream(&stream, nullptr, -1, TProtectionAction::Calculate);
    EXPECT_EQ(ToHex(h.DigestBytes()), expected);
    TempDir dir;
    h.ProcessFile(dir.write("f", data), "", TProtectionAction::Calculate);
    EXPECT_EQ(ToHex(h.DigestBytes()), expected);
    EXPECT_EQ(h.DigestText(kFormatHEXL), expected);
    EXPECT_EQ(HashClassOf<THash_MD5>().DigestOfText(data, {}, kFormatHEXL), expected);
}

// The keystream runs in pieces of the digest size; a stream's chunks must not cut a
// piece short, or streams and buffers would code differently.
TEST(HashFrameTest, KeystreamIsTheSameOverBuffersAndStreamsAndUndoesItself) {
    const std::string data = RandomBytes(50000, 6);
    THash_SHA1 h; // 20-byte pieces: no power of two divides them evenly
    std::string buffer = data;
    h.ProcessMemory(buffer.data(), buffer.size(), TProtectionAction::Encode);
    EXPECT_NE(buffer, data);
    MemoryStream stream(data);
    h.ProcessStream(&stream, nullptr, -1, TProtectionAction::Encode);
    EXPECT_EQ(stream.Bytes(), buffer);
    h.ProcessMemory(buffer.data(), buffer.size(), TProtectionAction::Decode);
    EXPECT_EQ(buffer, data);
    // A buffer shorter than the digest takes a prefix of the first piece.
    std::string shortBuffer = data.substr(0, 7);
    h.ProcessMemory(shortBuffer.data(), 7, TProtectionAction::Encode);
    std::string longBuffer = data.substr(0, 20);
    h.ProcessMemory(longBuffer.data(), 20, TProtectionAction::Encode);
    EXPECT_EQ(shortBuffer, longBuffer.substr(0, 7));
}

TEST(HashFrameTest, ActionsOtherThanCalculateLeaveTheInitialState) {
    THash_MD5 fresh;
    fresh.Init();
    THash_MD5 h;
    std::string data = "some data";
    h.ProcessMemory(data.data(), data.size(), TProtectionAction::Scramble);
    EXPECT_EQ(h.DigestBytes(), fresh.DigestBytes());
    EXPECT_NE(data, "some data");
}

TEST(HashFrameTest, MacWithoutKeyIsTheBareHashAndAKeyChangesEveryDigest) {
    const auto& sha1 = HashClassOf<THash_SHA1>();
    const std::string data = RandomBytes(1000, 8);
    EXPECT_EQ(ToHex(sha1.DigestOfText(data, std::make_shared<TMAC>(), kFormatCopy)),
              HexDigest(sha1, data));
    const auto mac = std::make_shared<TMAC>("secret");
    const std::string keyed = sha1.DigestOfText(data, mac, kFormatCopy);
    EXPECT_NE(ToHex(keyed), HexDigest(sha1, data));
    EXPECT_EQ(sha1.DigestOfText(data, mac, kFormatCopy), keyed);
    // Its last byte is covered, as is its key.
    std::string changed = data;
    changed.back() ^= 1;
    EXPECT_NE(sha1.DigestOfText(changed, mac, kFormatCopy), keyed);
    EXPECT_NE(sha1.DigestOfText(data, std::make_shared<TMAC>("secreT"), kFormatCopy), keyed);
}

TEST(HashRegistryTest, StartUpRegistersInOrderAndLooksUpByNameAndDescription) {
    const auto& registry = HashRegistry();
    ASSERT_FALSE(registry.empty());
    ASSERT_EQ(registry.size(), 28u);
    EXPECT_EQ(registry.front().text, "Hash=Message Digest 4");
    EXPECT_EQ(registry[13].text, "Hash=Sapphire II-128");
    EXPECT_EQ(registry[22].cls, &HashClassOf<THash_Tiger>());
    EXPECT_EQ(registry.back().text, "Checksum=CRC-32");
    EXPECT_EQ(FindHashClass("thash_sha1"), &HashClassOf<THash_SHA1>());
    EXPECT_EQ(FindHashClass("Secure Hash Algorithm"), &HashClassOf<THash_SHA>());
    EXPECT_EQ(FindHashClass("CRC-32")->DigestSize(), 4u);
    EXPECT_EQ(FindHashClass("nothing"), nullptr);
    EXPECT_FALSE(RegisterHash(nullptr, "x", "y"));
}

// Every registered class's known answer (where it has one) is its digest of "abc".
TEST(HashRegistryTest, KnownAnswersAreTheDigestsOfAbc) {
    for (const auto& entry : HashRegistry()) {
        const std::string known = entry.cls->Create()->KnownAnswer();
        if (!known.empty()) {
            EXPECT_EQ(HexDigest(*entry.cls, "abc"), ToHex(known)) << entry.cls->ClassName();
        }
    }
}

TEST(HashRegistryTest, ARepeatedClassKeepsItsPlaceAndAnEmptyDescriptionIsDerived) {
    const auto saved = HashRegistry();
    const std::size_t size = saved.size();
    ASSERT_TRUE(RegisterHash(&HashClassOf<THash_MD5>(), "  ", "Test"));
    EXPECT_EQ(HashRegistry().size(), size);
    EXPECT_EQ(HashRegistry()[1].text, "Test=MD5");
    RegisterHash(&HashClassOf<THash_MD5>(), saved[1].Description(), saved[1].Group());
    EXPECT_EQ(HashRegistry()[1].text, saved[1].text);
}

} // namespace
} // namespace kd::test
