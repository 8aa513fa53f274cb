#include "app/core/LastRunStamp.h"
#include "platform/DateText.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kd;
using kd::test::TempDir;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(LastRunStamp, WritesFourDigitYearAndTimeWithCrLfAndReadsThemBack) {
    TempDir dir;
    const TDateTime started = encodeDateTime({2024, 3, 7, 9, 5, 3, 0});
    WriteLastRun(dir.path(), "Dokumenty", started);
    EXPECT_EQ(fileBytes(dir.file("Dokumenty.txt")), "7.3.2024\r\n9:05:03\r\n");
    const LastRunStamp back = ReadLastRun(dir.path(), "Dokumenty");
    EXPECT_EQ(back.Date, encodeDate(2024, 3, 7));
    EXPECT_EQ(back.Time, encodeTime(9, 5, 3));

    // Written anew each time.
    WriteLastRun(dir.path() + "/", "Dokumenty", encodeDateTime({2031, 12, 24, 23, 59, 59, 0}));
    EXPECT_EQ(fileBytes(dir.file("Dokumenty.txt")), "24.12.2031\r\n23:59:59\r\n");
}

TEST(LastRunStamp, ReadsOldAndForeignDateFormats) {
    TempDir dir;
    struct Case {
        const char* content;
        TDateTime date, time;
    };
    const Case cases[] = {
        {"7.3.04\r\n9:05\r\n", encodeDate(2004, 3, 7), encodeTime(9, 5, 0)},
        {"31.12.99\r\n23:59:59\r\n", encodeDate(1999, 12, 31), encodeTime(23, 59, 59)},
        {"07/03/2024\n09:05:03\n", encodeDate(2024, 3, 7), encodeTime(9, 5, 3)},
        {"7-3-2024\r\n9:05:03 PM\r\n", encodeDate(2024, 3, 7), encodeTime(21, 5, 3)},
        {"2024-03-07\r\n9:05:03\r\n", encodeDate(2024, 3, 7), encodeTime(9, 5, 3)},
        {" 7. 3. 2024 \r\n 9:05:03 \r\n", encodeDate(2024, 3, 7), encodeTime(9, 5, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        dir.write("Old.txt", c.content);
        const LastRunStamp stamp = ReadLastRun(dir.path(), "Old");
        EXPECT_EQ(stamp.Date, c.date);
        EXPECT_EQ(stamp.Time, c.time);
    }
}

TEST(LastRunStamp, GarbledLinesReadAsZeroEachOnItsOwn) {
    TempDir dir;
    struct Case {
        const char* content;
        bool dateRead, timeRead;
    };
    const Case cases[] = {
        {"", false, false},
        {"yesterday\r\nnoon\r\n", false, false},
        {"7.3.2024\r\n", true, false},
        {"7.3.2024\r\n25:00:00\r\n", true, false},
        {"31.2.2024\r\n9:05:03\r\n", false, true},
        {"7.3\r\n9:05:03\r\n", false, true},
        {"7.3/2024\r\n9:05:03\r\n", false, true},
        {"7.3.2024x\r\n9:05:03\r\n", false, true},
        {"7.3.202\r\n9:05:03\r\n", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        dir.write("Bad.txt", c.content);
        const auto stamp = readLastRunIfAny(dir.path(), "Bad");
        ASSERT_TRUE(stamp.has_value());
        EXPECT_EQ(stamp->Date != 0, c.dateRead);
        EXPECT_EQ(stamp->Time != 0, c.timeRead);
    }
}

TEST(LastRunStamp, MissingStampIsNoneAndUnreadableOneThrows) {
    TempDir dir;
    EXPECT_FALSE(readLastRunIfAny(dir.path(), "Never").has_value());
    const LastRunStamp none = ReadLastRun(dir.path(), "Never");
    EXPECT_EQ(none.Date, 0);
    EXPECT_EQ(none.Time, 0);

    std::filesystem::create_directory(dir.file("Odd.txt"));
    EXPECT_THROW(readLastRunIfAny(dir.path(), "Odd"), Exception);
}

TEST(ParseShortDate, TwoDigitYearsAroundTheCenturyPivot) {
    EXPECT_EQ(parseShortDate("1.1.68"), encodeDate(2068, 1, 1));
    EXPECT_EQ(parseShortDate("1.1.69"), encodeDate(1969, 1, 1));
    EXPECT_EQ(parseShortDate("29.2.00"), encodeDate(2000, 2, 29));
    EXPECT_EQ(parseShortDate("29.2.2023"), std::nullopt);
    EXPECT_EQ(parseShortDate("2024-3-7"), encodeDate(2024, 3, 7));
    EXPECT_EQ(parseShortDate("24-3-7"), std::nullopt); // neither order is plain
    EXPECT_EQ(parseShortDate("7.3.2024."), std::nullopt);
}

} // namespace
