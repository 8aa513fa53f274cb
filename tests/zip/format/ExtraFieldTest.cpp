// The modification time in extra fields: which field wins, and lengths that lie.
#include <gtest/gtest.h>

#include "platform/MemoryStream.h"
#include "zip/format/ExtraField.h"
#include "zip/format/TZipHeaderInfo.h"

using namespace kd;

namespace {

std::string le(std::uint64_t value, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>(value >> (8 * i));
    return s;
}

std::string field(std::uint16_t tag, const std::string& data) {
    return le(tag, 2) + le(data.size(), 2) + data;
}

std::string ut(std::uint8_t flags, std::uint32_t modified) {
    return field(0x5455, std::string(1, static_cast<char>(flags)) + le(modified, 4));
}

// 2020-07-01 10:20:30 UTC, in both encodings (NTFS: 100 ns since 1601).
constexpr std::int64_t kSummer = 1593598830;
std::string ntfs(std::int64_t unixTime, std::uint32_t extraTicks = 0) {
    const std::uint64_t ticks = (unixTime * 10000000 + 116444736000000000) + extraTicks;
    return field(0x000a,
                 le(0, 4) + le(1, 2) + le(24, 2) + le(ticks, 8) + le(ticks, 8) + le(ticks, 8));
}

TEST(ExtraField, ExtendedTimestampThenNtfsElseNothing) {
    const std::string unknown = field(0x7875, "\1\4\0\0\0\0\4\0\0\0\0");
    struct Case {
        const char* what;
        std::string extra;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {"extended timestamp behind another field", unknown + ut(1, kSummer), kSummer},
        {"local form with access time too", field(0x5455, "\3" + le(kSummer, 4) + le(5, 4)),
         kSummer},
        {"NTFS, 100-ns rest dropped", ntfs(kSummer, 9999999), kSummer},
        {"extended timestamp wins over NTFS", ntfs(kSummer + 50) + ut(1, kSummer), kSummer},
        {"no modification time in the flags: NTFS", ut(2, 7) + ntfs(kSummer), kSummer},
        {"a cut extended timestamp: NTFS", field(0x5455, "\1\1") + ntfs(kSummer), kSummer},
        {"a time before 1970 from NTFS", ntfs(-86400), -86400},
        {"only other fields", unknown, std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtraFieldModified(c.extra), c.expected) << c.what;
}

TEST(ExtraField, LengthsThatLieEndTheParsing) {
    // A field claiming more bytes than follow hides what it would cover.
    std::string lying = le(0x7875, 2) + le(200, 2) + ut(1, kSummer);
    EXPECT_EQ(ExtraFieldModified(lying), std::nullopt);
    EXPECT_EQ(ExtraFieldModified(le(0x5455, 2) + le(5, 2) + "\1\1\2"), std::nullopt);
    EXPECT_EQ(ExtraFieldModified("\x55\x54\x05"), std::nullopt);
    // NTFS attributes whose size runs past the field.
    EXPECT_EQ(ExtraFieldModified(field(0x000a, le(0, 4) + le(1, 2) + le(240, 2) + le(1, 8))),
              std::nullopt);
    EXPECT_EQ(ExtraFieldModified(field(0x000a, le(0, 4) + le(1, 2) + le(0, 2))), std::nullopt);
}

TEST(ExtraField, TheWrittenFieldHoldsWhatTheFormatCan) {
    EXPECT_EQ(ExtendedTimestampField(kSummer), ut(1, kSummer));
    EXPECT_EQ(ExtendedTimestampField(0xFFFFFFFFll), ut(1, 0xFFFFFFFF)); // 2106
    EXPECT_EQ(ExtendedTimestampField(-1), "");
    EXPECT_EQ(ExtendedTimestampField(0x100000000ll), "");
}

TEST(ExtraField, HeadersCarryTheTimeAndKeepTheirLengthsWhenTheExtraLies) {
    TZipHeaderInfo written;
    written.SetFullName("a.txt");
    written.SetUnixModified(kSummer);
    MemoryStream s;
    written.WriteLocalHeader(s);
    const std::int64_t central = s.Position();
    written.WriteCentralHeader(s);
    EXPECT_EQ(written.LocalHeaderSize(), central);
    EXPECT_EQ(written.CentralHeaderSize(), s.Position() - central);

    TZipHeaderInfo local;
    s.Seek(0, SeekOrigin::Begin);
    ASSERT_TRUE(local.ReadLocalHeader(s));
    ASSERT_TRUE(local.ReadLocalExtra(s));
    EXPECT_EQ(local.UnixModified(), kSummer);
    TZipHeaderInfo read;
    ASSERT_TRUE(read.ReadCentralHeader(s));
    EXPECT_EQ(read.UnixModified(), kSummer);

    // An extra length running past the end: the header still reads, without a time,
    // and the stream stands where the lengths say.
    std::string bytes = s.Bytes().substr(central);
    bytes[30] = '\xff';
    MemoryStream damaged(bytes);
    ASSERT_TRUE(read.ReadCentralHeader(damaged));
    EXPECT_EQ(read.UnixModified(), kSummer); // the field itself is whole
    EXPECT_EQ(damaged.Position(), 46 + 5 + 255);
}

} // namespace
