#include "app/core/DueRules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace kd;

namespace {

using TimePoint = std::chrono::system_clock::time_point;

class DueRules : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("TZ", "Europe/Prague", 1);
        tzset();
    }

    static TObjektZal profile(int kind, int value, int startHour = 9, int startMinute = 0) {
        TObjektZal p;
        p.Name = "Data";
        p.PeriodKind = static_cast<std::uint8_t>(kind);
        p.PeriodValue = static_cast<std::uint8_t>(value);
        p.StartTime = encodeDate(2020, 1, 1) + encodeTime(startHour, startMinute, 0);
        return p;
    }
    static LastRunStamp stamp(int y, int mo, int d, int h = 8, int mi = 0, int s = 0) {
        return {encodeDate(y, mo, d), encodeTime(h, mi, s)};
    }
    // A local wall-clock time (unambiguous ones only).
    static TimePoint local(int y, int mo, int d, int h, int mi, int s = 0) {
        return std::chrono::system_clock::from_time_t(toTimeT(encodeDateTime({y, mo, d, h, mi, s, 0})));
    }
    static TimePoint utc(int y, int mo, int d, int h, int mi, int s = 0) {
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mon = mo - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_min = mi;
        tm.tm_sec = s;
        return std::chrono::system_clock::from_time_t(timegm(&tm));
    }
};

TEST_F(DueRules, EveryDayFromTheStartTimeAndWithinTheTwoHourWindow) {
    const TObjektZal daily = profile(1, 1);
    const LastRunStamp yesterday = stamp(2024, 5, 14, 8, 0);
    struct Case {
        TimePoint now;
        bool due, dueKeepingTime;
    };
    const Case cases[] = {
        {local(2024, 5, 14, 23, 0), false, false}, // the day of the last run
        {local(2024, 5, 15, 8, 59, 59), false, false},
        {local(2024, 5, 15, 9, 0, 0), false, false}, // the start time itself is excluded
        {local(2024, 5, 15, 9, 0, 1), true, true},
        {local(2024, 5, 15, 10, 59, 59), true, true},
        {local(2024, 5, 15, 11, 0, 0), true, false}, // so is the window's end
        {local(2024, 5, 15, 23, 30), true, false},
        {local(2024, 5, 16, 8, 0), true, false}, // a day missed: due at once
        {local(2024, 5, 16, 9, 30), true, true},
    };
    for (const auto& c : cases) {
        const std::time_t t = std::chrono::system_clock::to_time_t(c.now);
        SCOPED_TRACE(std::ctime(&t));
        EXPECT_EQ(isBackupDue(daily, yesterday, c.now, false), c.due);
        EXPECT_EQ(isBackupDue(daily, yesterday, c.now, true), c.dueKeepingTime);
    }
    const TObjektZal everyThird = profile(1, 3);
    EXPECT_FALSE(isBackupDue(everyThird, yesterday, local(2024, 5, 16, 12, 0), false));
    EXPECT_TRUE(isBackupDue(everyThird, yesterday, local(2024, 5, 17, 9, 1), false));
}

TEST_F(DueRules, WeekdayCountsMondayAsOne) {
    // 13 May 2024 is a Monday.
    const TObjektZal monday = profile(2, 1);
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 6), local(2024, 5, 13, 8, 59), false));
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 6), local(2024, 5, 13, 9, 1), false));
    // Last run eight days ago: due on any weekday without the window.
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 6), local(2024, 5, 14, 7, 0), false));
    // A week after a Wednesday run, Monday has already passed in that week.
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 8), local(2024, 5, 14, 23, 0), false));
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 8), local(2024, 5, 15, 0, 1), false));

    // Keeping time: only on a Monday within the window, more than a day after the run.
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 5), local(2024, 5, 13, 9, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 5), local(2024, 5, 14, 9, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 5), local(2024, 5, 13, 11, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 12), local(2024, 5, 13, 9, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 13, 9, 10), local(2024, 5, 13, 9, 30), true));
    const TObjektZal sunday = profile(2, 7);
    EXPECT_TRUE(isBackupDue(sunday, stamp(2024, 5, 12), local(2024, 5, 19, 9, 30), true));
    EXPECT_FALSE(isBackupDue(sunday, stamp(2024, 5, 12), local(2024, 5, 18, 9, 30), true));
}

TEST_F(DueRules, AMonthOnFromTheThirtyFirstEndsAtTheMonthsLastDay) {
    EXPECT_EQ(addOneMonth(encodeDate(2023, 1, 31)), encodeDate(2023, 2, 28));
    EXPECT_EQ(addOneMonth(encodeDate(2024, 1, 31)), encodeDate(2024, 2, 29));
    EXPECT_EQ(addOneMonth(encodeDate(2024, 3, 31)), encodeDate(2024, 4, 30));
    EXPECT_EQ(addOneMonth(encodeDate(2024, 12, 31)), encodeDate(2025, 1, 31));
    EXPECT_EQ(addOneMonth(encodeDateTime({2024, 8, 15, 10, 20, 30, 0})),
              encodeDateTime({2024, 9, 15, 10, 20, 30, 0}));

    const TObjektZal on31st = profile(3, 31);
    const LastRunStamp january31 = stamp(2023, 1, 31);
    EXPECT_FALSE(isBackupDue(on31st, january31, local(2023, 2, 28, 23, 0), false));
    EXPECT_TRUE(isBackupDue(on31st, january31, local(2023, 3, 1, 0, 1), false));
    EXPECT_TRUE(isBackupDue(on31st, january31, local(2023, 3, 20, 15, 0), false));
    EXPECT_FALSE(isBackupDue(on31st, january31, local(2023, 2, 28, 9, 30), true));
    EXPECT_TRUE(isBackupDue(on31st, january31, local(2023, 3, 1, 9, 30), true));
    EXPECT_FALSE(isBackupDue(on31st, january31, local(2023, 3, 1, 12, 0), true));
    EXPECT_FALSE(isBackupDue(on31st, stamp(2024, 1, 31), local(2024, 2, 29, 23, 0), false));
    EXPECT_TRUE(isBackupDue(on31st, stamp(2024, 1, 31), local(2024, 3, 1, 0, 1), false));
}

TEST_F(DueRules, DayOfMonthFromTheStartTime) {
    const TObjektZal on15th = profile(3, 15);
    EXPECT_FALSE(isBackupDue(on15th, stamp(2024, 1, 15), local(2024, 2, 14, 12, 0), false));
    EXPECT_FALSE(isBackupDue(on15th, stamp(2024, 1, 15), local(2024, 2, 15, 8, 59), false));
    EXPECT_TRUE(isBackupDue(on15th, stamp(2024, 1, 15), local(2024, 2, 15, 9, 1), false));
    EXPECT_TRUE(isBackupDue(on15th, stamp(2024, 1, 15), local(2024, 2, 15, 9, 1), true));
    EXPECT_FALSE(isBackupDue(on15th, stamp(2024, 1, 10), local(2024, 2, 10, 12, 0), false));
    EXPECT_TRUE(isBackupDue(on15th, stamp(2024, 1, 10), local(2024, 2, 11, 0, 1), false));
}

TEST_F(DueRules, EveryNMinutesIgnoresTheWindow) {
    const TObjektZal every90 = profile(4, 90, 20, 0);
    const LastRunStamp at10 = stamp(2024, 5, 15, 10, 0, 0);
    for (const bool keepTime : {false, true}) {
        EXPECT_FALSE(isBackupDue(every90, at10, local(2024, 5, 15, 11, 29, 59), keepTime));
        EXPECT_FALSE(isBackupDue(every90, at10, local(2024, 5, 15, 11, 30, 0), keepTime));
        EXPECT_TRUE(isBackupDue(every90, at10, local(2024, 5, 15, 11, 30, 1), keepTime));
    }
    // Across midnight.
    EXPECT_TRUE(isBackupDue(profile(4, 30), stamp(2024, 5, 15, 23, 50), local(2024, 5, 16, 0, 21), false));
}

TEST_F(DueRules, ManualPausedOrZeroPeriodNeverDue) {
    const LastRunStamp ancient = stamp(2001, 1, 1);
    const TimePoint now = local(2024, 5, 15, 10, 0);
    TObjektZal paused = profile(1, 1);
    paused.Paused = true;
    EXPECT_FALSE(isBackupDue(paused, ancient, now, false));
    EXPECT_FALSE(isBackupDue(profile(0, 1), ancient, now, false));
    EXPECT_FALSE(isBackupDue(profile(1, 0), ancient, now, false));
    EXPECT_FALSE(isBackupDue(profile(4, 0), ancient, now, false));
}

TEST_F(DueRules, UnreadableStampCountsAsTheEarliestDate) {
    const TimePoint now = local(2024, 5, 15, 8, 0);
    for (const int kind : {1, 2, 3, 4})
        EXPECT_TRUE(isBackupDue(profile(kind, 1), LastRunStamp{}, now, false)) << kind;
}

TEST_F(DueRules, EveryNMinutesCountsRealTimeAcrossDaylightSavingChanges) {
    // 31 March 2024: 2:00 CET becomes 3:00 CEST. Twenty minutes of wall clock are
    // ten minutes of real time here: not yet due.
    const TObjektZal every30 = profile(4, 30);
    const LastRunStamp spring = stamp(2024, 3, 31, 1, 50); // 0:50 UTC
    EXPECT_FALSE(isBackupDue(every30, spring, utc(2024, 3, 31, 1, 5), false));
    EXPECT_TRUE(isBackupDue(every30, spring, utc(2024, 3, 31, 1, 20, 1), false));

    // 27 October 2024: 3:00 CEST becomes 2:00 CET again. A stamp from before the
    // repeated hour is due after real time, not an hour late.
    const TObjektZal every90 = profile(4, 90);
    const LastRunStamp autumn = stamp(2024, 10, 27, 1, 40); // 23:40 UTC the day before
    EXPECT_TRUE(isBackupDue(every90, autumn, utc(2024, 10, 27, 1, 15), false));
    // A stamp inside the repeated hour is read as the later 2:50 (CET, 1:50 UTC), so a
    // run then is not repeated five minutes later.
    const LastRunStamp repeated = stamp(2024, 10, 27, 2, 50);
    EXPECT_FALSE(isBackupDue(every30, repeated, utc(2024, 10, 27, 1, 55), false));
    EXPECT_TRUE(isBackupDue(every30, repeated, utc(2024, 10, 27, 2, 20, 1), false));
}

TEST_F(DueRules, DailyRunsOnceOnDaylightSavingDays) {
    const TObjektZal at230 = profile(1, 1, 2, 30);
    // The start time falls in the skipped hour: the window's rest (3:00 to 4:30) holds.
    EXPECT_FALSE(isBackupDue(at230, stamp(2024, 3, 30, 2, 40), utc(2024, 3, 31, 0, 59), true));
    EXPECT_TRUE(isBackupDue(at230, stamp(2024, 3, 30, 2, 40), utc(2024, 3, 31, 1, 5), true));
    // Run at 2:40 CEST; when 2:40 comes again in CET it is the same day: not again.
    EXPECT_TRUE(isBackupDue(at230, stamp(2024, 10, 26, 2, 40), utc(2024, 10, 27, 0, 40), true));
    const LastRunStamp ranToday = stamp(2024, 10, 27, 2, 40);
    for (const bool keepTime : {false, true})
        EXPECT_FALSE(isBackupDue(at230, ranToday, utc(2024, 10, 27, 1, 41), keepTime));
    EXPECT_TRUE(isBackupDue(at230, ranToday, local(2024, 10, 28, 2, 31), true));
}

} // namespace
