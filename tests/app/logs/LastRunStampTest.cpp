#include "app/core/logs/LastRunStamp.h"
#include "platform/DateText.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kd;

namespace {

TEST(LastRunStamp, WritesFourDigitYearAndTimeWithCrLfAndReadsThemBack) {
    test::TempDir dir;
    WriteLastRun(dir.path(), "Dokumenty", encodeDateTime({2024, 3, 7, 9, 5, 3, 0}));
    std::ifstream in(dir.file("Dokumenty.txt"), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "7.3.2024\r\n9:05:03\r\n");
    const LastRunStamp back = ReadLastRun(dir.path(), "Dokumenty");
    EXPECT_EQ(back.Date, encodeDate(2024, 3, 7));
    EXPECT_EQ(back.Time, encodeTime(9, 5, 3));
}

TEST(LastRunStamp, ReadsOldForeignAndGarbledStampsLeniently) {
    test::TempDir dir;
    const TDateTime march7 = encodeDate(2024, 3, 7);
    const TDateTime at905 = encodeTime(9, 5, 3);
    struct Case {
        const char* content;
        TDateTime date, time;
    };
    const Case cases[] = {
        {"7.3.04\r\n9:05:03\r\n", encodeDate(2004, 3, 7), at905},
        {"31.12.99\r\n9:05:03\r\n", encodeDate(1999, 12, 31), at905},
        {"1.1.68\r\n9:05:03\r\n", encodeDate(2068, 1, 1), at905},
        {"07/03/2024\n09:05:03\n", march7, at905},
        {"7-3-2024\r\n9:05:03 PM\r\n", march7, encodeTime(21, 5, 3)},
        {"2024-03-07\r\n9:05:03\r\n", march7, at905},
        {" 7. 3. 2024 \r\n 9:05:03 \r\n", march7, at905},
        // Each line that does not read counts as 0 on its own.
        {"", 0, 0},
        {"yesterday\r\nnoon\r\n", 0, 0},
        {"7.3.2024\r\n", march7, 0},
        {"7.3.2024\r\n25:00:00\r\n", march7, 0},
        {"29.2.2023\r\n9:05:03\r\n", 0, at905},
        {"7.3\r\n9:05:03\r\n", 0, at905},
        {"7.3/2024\r\n9:05:03\r\n", 0, at905},
        {"7.3.202\r\n9:05:03\r\n", 0, at905},
        {"24-3-7\r\n9:05:03\r\n", 0, at905},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        dir.write("Old.txt", c.content);
        const LastRunStamp stamp = ReadLastRun(dir.path(), "Old");
        EXPECT_EQ(stamp.Date, c.date);
        EXPECT_EQ(stamp.Time, c.time);
    }
}

TEST(LastRunStamp, MissingStampIsNoneAndUnreadableOneThrows) {
    test::TempDir dir;
    EXPECT_FALSE(readLastRunIfAny(dir.path(), "Never").has_value());
    EXPECT_EQ(ReadLastRun(dir.path(), "Never").Date, 0);
    std::filesystem::create_directory(dir.file("Odd.txt"));
    EXPECT_THROW(readLastRunIfAny(dir.path(), "Odd"), Exception);
}

} // namespace
