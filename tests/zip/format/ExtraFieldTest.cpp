// The modification time in extra fields: which field wins, and lengths that lie.
#include <gtest/gtest.h>

#include "zip/format/ExtraField.h"

using namespace kd;

namespace {

std::string le(std::uint64_t value, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) // bytes past the value's eight are zero
        s += static_cast<char>(i < 8 ? value >> (8 * i) : 0);
    return s;
}

std::string field(std::uint16_t tag, const std::string& data, std::size_t claimed = 0) {
    return le(tag, 2) + le(claimed ? claimed : data.size(), 2) + data;
}

std::string ut(char flags, std::uint32_t modified) {
    return field(0x5455, flags + le(modified, 4));
}

// NTFS times: 100 ns since 1601; the attribute's size may be claimed otherwise.
std::string ntfs(std::int64_t unixTime, std::uint16_t size = 24) {
    const std::uint64_t ticks = unixTime * 10000000 + 116444736000000000 + 9999999;
    return field(0x000a, le(0, 4) + le(1, 2) + le(size, 2) + le(ticks, 8) + le(0, 16));
}

TEST(ExtraField, ExtendedTimestampThenNtfsElseNothingAndLengthsThatLieEndTheSearch) {
    constexpr std::int64_t t = 1593598830; // 2020-07-01 10:20:30 UTC
    const std::string other = field(0x7875, "\1\4");
    const std::pair<std::string, std::optional<std::int64_t>> cases[] = {
        {other + ut(1, t), t},
        {field(0x5455, std::string(1, 3) + le(t, 4) + le(5, 4)), t}, // access time too
        {ntfs(t), t},                                                // the 100-ns rest dropped
        {ntfs(t + 50) + ut(1, t), t},                                // the extended timestamp wins
        {ut(2, 7) + ntfs(t), t},              // its flags name no modification
        {field(0x5455, "\1\1") + ntfs(t), t}, // cut short
        {ntfs(-86400), -86400},
        {other, std::nullopt},
        {field(0x7875, "", 200) + ut(1, t), std::nullopt}, // claims what follows
        {field(0x5455, "\1\1\2", 5), std::nullopt},
        {"\x55\x54\x05", std::nullopt},
        {ntfs(t, 240), std::nullopt},
        {ntfs(t, 0), std::nullopt},
    };
    for (const auto& [extra, expected] : cases)
        EXPECT_EQ(ExtraFieldModified(extra), expected) << testing::PrintToString(extra);
    EXPECT_EQ(ExtendedTimestampField(t), ut(1, t));
    EXPECT_EQ(ExtendedTimestampField(-1), ""); // the field holds 1970 to 2106 only
}

} // namespace
