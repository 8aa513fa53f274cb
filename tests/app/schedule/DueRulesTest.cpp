#include "app/core/schedule/DueRules.h"

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
        p.PeriodKind = static_cast<std::uint8_t>(kind);
        p.PeriodValue = static_cast<std::uint8_t>(value);
        p.StartTime = encodeDate(2020, 1, 1) + encodeTime(startHour, startMinute, 0);
        return p;
    }
    static LastRunStamp stamp(int y, int mo, int d, int h = 8, int mi = 0) {
        return {encodeDate(y, mo, d), encodeTime(h, mi, 0)};
    }
    // An unambiguous local time.
    static TimePoint local(int y, int mo, int d, int h, int mi, int s = 0) {
        return std::chrono::system_clock::from_time_t(
            toTimeT(encodeDateTime({y, mo, d, h, mi, s, 0})));
    }
    static TimePoint utc(int y, int mo, int d, int h, int mi, int s = 0) {
        std::tm tm{0, mi, h, d, mo - 1, y - 1900, 0, 0, 0, 0, nullptr};
        tm.tm_sec = s;
        return std::chrono::system_clock::from_time_t(timegm(&tm));
    }
};

TEST_F(DueRules, EveryDayFromTheStartTimeAndWithinTheTwoHourWindow) {
    const TObjektZal daily = profile(1, 1);
    const LastRunStamp yesterday = stamp(2024, 5, 14);
    struct Case {
        TimePoint now;
        bool due, dueKeepingTime;
    };
    const Case cases[] = {
        {local(2024, 5, 14, 23, 0), false, false}, // the day of the last run
        {local(2024, 5, 15, 8, 59, 59), false, false},
        {local(2024, 5, 15, 9, 0, 0), false, false}, // both ends of the window excluded
        {local(2024, 5, 15, 9, 0, 1), true, true},
        {local(2024, 5, 15, 10, 59, 59), true, true},
        {local(2024, 5, 15, 11, 0, 0), true, false},
        {local(2024, 5, 16, 8, 0), true, false}, // a day missed: due at once
        {local(2024, 5, 16, 9, 30), true, true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(isBackupDue(daily, yesterday, cases[i].now, false), cases[i].due) << i;
        EXPECT_EQ(isBackupDue(daily, yesterday, cases[i].now, true), cases[i].dueKeepingTime) << i;
    }
    EXPECT_FALSE(isBackupDue(profile(1, 3), yesterday, local(2024, 5, 16, 12, 0), false));
    EXPECT_TRUE(isBackupDue(profile(1, 3), yesterday, local(2024, 5, 17, 9, 1), false));
}

TEST_F(DueRules, WeekdayCountsMondayAsOne) {
    const TObjektZal monday = profile(2, 1); // 13 May 2024 is a Monday
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 6), local(2024, 5, 13, 8, 59), false));
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 6), local(2024, 5, 13, 9, 1), false));
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 6), local(2024, 5, 14, 7, 0), false));
    // Keeping time: only on a Monday within the window, more than a day after the run.
    EXPECT_TRUE(isBackupDue(monday, stamp(2024, 5, 5), local(2024, 5, 13, 9, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 5), local(2024, 5, 14, 9, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 5), local(2024, 5, 13, 11, 30), true));
    EXPECT_FALSE(isBackupDue(monday, stamp(2024, 5, 12), local(2024, 5, 13, 9, 30), true));
    EXPECT_TRUE(isBackupDue(profile(2, 7), stamp(2024, 5, 12), local(2024, 5, 19, 9, 30), true));
    EXPECT_FALSE(isBackupDue(profile(2, 7), stamp(2024, 5, 12), local(2024, 5, 18, 9, 30), true));
}

TEST_F(DueRules, AMonthOnFromTheThirtyFirstEndsAtTheMonthsLastDay) {
    EXPECT_EQ(addOneMonth(encodeDate(2023, 1, 31)), encodeDate(2023, 2, 28));
    EXPECT_EQ(addOneMonth(encodeDate(2024, 1, 31)), encodeDate(2024, 2, 29));
    EXPECT_EQ(addOneMonth(encodeDate(2024, 12, 31)), encodeDate(2025, 1, 31));
    EXPECT_EQ(addOneMonth(encodeDateTime({2024, 3, 31, 10, 20, 30, 0})),
              encodeDateTime({2024, 4, 30, 10, 20, 30, 0}));

    const TObjektZal on31st = profile(3, 31);
    const LastRunStamp january31 = stamp(2023, 1, 31);
    EXPECT_FALSE(isBackupDue(on31st, january31, local(2023, 2, 28, 23, 0), false));
    EXPECT_TRUE(isBackupDue(on31st, january31, local(2023, 3, 1, 0, 1), false));
    EXPECT_FALSE(isBackupDue(on31st, january31, local(2023, 2, 28, 9, 30), true));
    EXPECT_TRUE(isBackupDue(on31st, january31, local(2023, 3, 1, 9, 30), true));
    EXPECT_FALSE(isBackupDue(on31st, january31, local(2023, 3, 1, 12, 0), true));
    // On the day itself from the start time.
    EXPECT_FALSE(isBackupDue(profile(3, 15), stamp(2024, 1, 15), local(2024, 2, 15, 8, 59), false));
    EXPECT_TRUE(isBackupDue(profile(3, 15), stamp(2024, 1, 15), local(2024, 2, 15, 9, 1), false));
}

TEST_F(DueRules, EveryNMinutesIgnoresTheWindow) {
    const TObjektZal every90 = profile(4, 90, 20, 0);
    const LastRunStamp at10 = stamp(2024, 5, 15, 10, 0);
    for (const bool keepTime : {false, true}) {
        EXPECT_FALSE(isBackupDue(every90, at10, local(2024, 5, 15, 11, 30, 0), keepTime));
        EXPECT_TRUE(isBackupDue(every90, at10, local(2024, 5, 15, 11, 30, 1), keepTime));
    }
}

TEST_F(DueRules, ManualPausedOrZeroPeriodNeverDueUnreadableStampAtOnce) {
    const TimePoint now = local(2024, 5, 15, 8, 0);
    TObjektZal paused = profile(1, 1);
    paused.Paused = true;
    EXPECT_FALSE(isBackupDue(paused, {}, now, false));
    EXPECT_FALSE(isBackupDue(profile(0, 1), {}, now, false));
    EXPECT_FALSE(isBackupDue(profile(4, 0), {}, now, false));
    for (const int kind : {1, 2, 3, 4})
        EXPECT_TRUE(isBackupDue(profile(kind, 1), {}, now, false)) << kind;
}

TEST_F(DueRules, EveryNMinutesCountsRealTimeAcrossDaylightSavingChanges) {
    // 31 March 2024, 2:00 CET becomes 3:00 CEST: at 3:05 only 15 minutes have passed.
    const TObjektZal every30 = profile(4, 30);
    const LastRunStamp spring = stamp(2024, 3, 31, 1, 50); // 0:50 UTC
    EXPECT_FALSE(isBackupDue(every30, spring, utc(2024, 3, 31, 1, 5), false));
    EXPECT_TRUE(isBackupDue(every30, spring, utc(2024, 3, 31, 1, 20, 1), false));
    // 27 October 2024, 3:00 CEST becomes 2:00 CET: not an hour late after 1:40 CEST...
    EXPECT_TRUE(
        isBackupDue(profile(4, 90), stamp(2024, 10, 27, 1, 40), utc(2024, 10, 27, 1, 15), false));
    // ...and a run at the second 2:50 is not repeated at 2:55.
    const LastRunStamp repeated = stamp(2024, 10, 27, 2, 50);
    EXPECT_FALSE(isBackupDue(every30, repeated, utc(2024, 10, 27, 1, 55), false));
    EXPECT_TRUE(isBackupDue(every30, repeated, utc(2024, 10, 27, 2, 20, 1), false));
}

TEST_F(DueRules, DailyRunsOnceOnDaylightSavingDays) {
    const TObjektZal at230 = profile(1, 1, 2, 30);
    // The start time falls in the skipped hour: the rest of the window (3:00-4:30) holds.
    EXPECT_FALSE(isBackupDue(at230, stamp(2024, 3, 30), utc(2024, 3, 31, 0, 59), true));
    EXPECT_TRUE(isBackupDue(at230, stamp(2024, 3, 30), utc(2024, 3, 31, 1, 5), true));
    // Run at 2:40 CEST; when 2:41 comes again in CET it is the same day.
    EXPECT_TRUE(isBackupDue(at230, stamp(2024, 10, 26), utc(2024, 10, 27, 0, 40), true));
    for (const bool keepTime : {false, true})
        EXPECT_FALSE(
            isBackupDue(at230, stamp(2024, 10, 27, 2, 40), utc(2024, 10, 27, 1, 41), keepTime));
}

} // namespace
