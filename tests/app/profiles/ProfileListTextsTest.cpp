#include "app/core/profiles/ProfileListTexts.h"
#include "platform/DateText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace kd;

TEST(ProfileListTexts, RowShowsTheProfileColumnByColumn) {
    TObjektZal r;
    r.Name = "Dokumenty";
    r.Description = "popis";
    r.TargetDir = "/mnt/b/";
    r.SourceDir = "/home/a/";
    r.Masks = "*.*";
    r.VersionsKept = 12;
    r.PeriodKind = 2;
    const auto texts = profileListTexts(r, encodeDate(2024, 3, 7), encodeTime(9, 5, 0));
    const std::array<std::string, 8> expected = {
        "Dokumenty", "popis", "/mnt/b/", "/home/a/", "*.*", "12", "Týden", "7.3.2024 9:05:00"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(profileListTexts(r, 0, 0.5)[7], " "); // never run
}

TEST(ProfileListTexts, SortsAsTextIgnoringLetterCase) {
    std::vector<std::string> texts = {"9", "b", "10", "A", "a", "B"};
    std::stable_sort(texts.begin(), texts.end(), [](const std::string& x, const std::string& y) {
        return compareProfileListTexts(x, y) < 0;
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"10", "9", "A", "a", "b", "B"}));
    EXPECT_EQ(compareProfileListTexts("abc", "ABC"), 0);
    EXPECT_LT(compareProfileListTexts("ab", "abc"), 0);
}

TEST(DateText, TimesAndDatesInTheProgramsFormats) {
    EXPECT_EQ(formatTime(encodeDateTime({2024, 1, 2, 23, 59, 59, 999})), "23:59:59");
    EXPECT_EQ(formatTime(0), "0:00:00");
    EXPECT_EQ(formatTime(encodeDate(2020, 1, 1) + encodeTime(7, 8, 9)), "7:08:09");
    EXPECT_EQ(formatShortDate(encodeDate(2024, 12, 31)), "31.12.2024");

    EXPECT_DOUBLE_EQ(*parseTime("7:08"), encodeTime(7, 8, 0));
    EXPECT_DOUBLE_EQ(*parseTime("07:08:09.5"), encodeTime(7, 8, 9, 5));
    EXPECT_DOUBLE_EQ(*parseTime("12:00 am"), 0.0);
    EXPECT_DOUBLE_EQ(*parseTime("12:30 PM"), encodeTime(12, 30, 0));
    for (const char* bad : {"", "7", "7:", ":30", "24:00", "13:00 PM", "7:08:09x", "1:2:3:4"})
        EXPECT_FALSE(parseTime(bad).has_value()) << bad;
}
