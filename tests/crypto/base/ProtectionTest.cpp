#include <gtest/gtest.h>
#include <unistd.h>

#include "crypto/base/Bits.h"
#include "crypto/base/Crc.h"
#include "crypto/base/Protection.h"
#include "crypto/base/Random.h"
#include "crypto/format/StringFormat.h"
#include "crypto/hash/SHA.h"
#include "crypto/support/HashOracle.h"
#include "platform/MemoryStream.h"
#include "support/TempDir.h"

namespace kd::test {
namespace {

// Adds one to every byte it is given, whatever the action (as a cipher writes).
class AddOne : public TProtection {
public:
    using TProtection::TProtection;
    void ProcessChunk(void* buffer, std::size_t size, TProtectionAction action) override {
        TProtection::ProcessChunk(buffer, size, action);
        auto* p = static_cast<std::uint8_t*>(buffer);
        for (std::size_t i = 0; i < size; ++i)
            ++p[i];
        ++chunks;
    }
    int chunks = 0;
};

TEST(ProtectionTest, ACircularChainIsRefusedAndLeftAsItWas) {
    auto a = std::make_shared<AddOne>();
    auto b = std::make_shared<AddOne>(a);
    auto c = std::make_shared<AddOne>(b);
    EXPECT_THROW(a->SetProtection(c), EProtection);
    EXPECT_EQ(a->Protection(), nullptr);
    EXPECT_THROW(a->SetProtection(a), EProtection);
    EXPECT_EQ(b->Protection(), a);
    a->SetProtection(std::make_shared<AddOne>());
    EXPECT_NE(a->Protection(), nullptr);
}

TEST(ProtectionTest, StreamsCodeFromTheirPositionOrWholeAndStopAtTheirEnd) {
    AddOne p;
    MemoryStream s("abcdef");
    s.Seek(2, SeekOrigin::Begin);
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    ProgressHook() = [&](TProtection&, std::int64_t at, std::int64_t of) {
        progress.emplace_back(at, of);
    };
    p.ProcessStream(&s, nullptr, 100, TProtectionAction::Encode);
    ProgressHook() = nullptr;
    EXPECT_EQ(s.Bytes(), "abdefg");
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {
        {0, 100}, {4, 100}, {0, 0}};
    EXPECT_EQ(progress, expected);
    p.ProcessStream(&s, nullptr, -1, TProtectionAction::Encode);
    EXPECT_EQ(s.Bytes(), "bcefgh");
    EXPECT_EQ(p.ProcessText("", TProtectionAction::Encode), "");
    EXPECT_EQ(p.ProcessText("abc", TProtectionAction::Encode, kFormatCopy), "bcd");
}

TEST(ProtectionTest, CalculateNeverWritesIntoTheCallersBuffer) {
    auto hash = std::make_shared<THash_SHA1>(std::make_shared<AddOne>());
    std::string data = "unchanged";
    hash->ProcessMemory(data.data(), data.size(), TProtectionAction::Calculate);
    EXPECT_EQ(data, "unchanged");
}

// A destination that is the source under another name is coded in place, not
// truncated before it is read.
TEST(ProtectionTest, FileCodedOntoItselfThroughALink) {
    TempDir dir;
    const std::string source = dir.write("source", "hello");
    const std::string link = dir.file("link");
    ASSERT_EQ(::link(source.c_str(), link.c_str()), 0);
    AddOne p;
    p.ProcessFile(source, link, TProtectionAction::Encode);
    std::string inPlace, copy;
    runCommand("cat " + source, &inPlace);
    EXPECT_EQ(inPlace, "ifmmp");
    p.ProcessFile(source, dir.file("copy"), TProtectionAction::Encode);
    runCommand("cat " + dir.file("copy"), &copy);
    EXPECT_EQ(copy, "jgnnq");
}

TEST(BitsTest, HelpersGiveTheirDefinedResults) {
    EXPECT_EQ(RotateLeft32(0x80000001u, 33), 0x00000003u);
    EXPECT_EQ(RotateRight32(0x00000003u, 1), 0x80000001u);
    EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);
    EXPECT_EQ(ReverseBits32(0x00000001u), 0x80000000u);
    EXPECT_EQ(ReverseBits32(0x12345678u), 0x1E6A2C48u);
    std::uint8_t a[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, b[11] = {};
    b[10] = 0xFF;
    XorBuffers(a, b, 11, a);
    EXPECT_EQ(a[10], 11 ^ 0xFF);
    EXPECT_EQ(a[0], 1);
    EXPECT_LT(CompareMemory("ab", "b", 1), 0);
    EXPECT_GT(CompareMemory("\xff", "\x01", 1), 0);
    EXPECT_EQ(CompareMemory("abc", "abd", 2), 0);
    std::uint32_t w[2] = {0x11223344u, 0x55667788u};
    SwapBytes32Buffer(w, w, 2);
    EXPECT_EQ(w[1], 0x88776655u);
}

TEST(BitsTest, RandomOverwriteFollowsItsGenerator) {
    std::uint8_t buffer[2] = {0, 0};
    const std::uint32_t seed = RandomizeBuffer(0, buffer, 2);
    // State 0 -> 1; then 1 * 134775813 + 1 = 134775814.
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], std::uint8_t(134775814u >> 24));
    EXPECT_EQ(seed, 134775814u);
    EXPECT_EQ(RandomizeBuffer(5, nullptr, 3), 5u);
    EXPECT_EQ(crc::Crc32Update(9, nullptr, 3), 9u);
}

} // namespace
} // namespace kd::test
