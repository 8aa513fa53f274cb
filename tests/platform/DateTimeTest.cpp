#include "platform/DateTime.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(DateTime, KnownDayNumbersAndWeekdays) {
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(dayOfWeekMondayFirst(encodeDate(2026, 12, 7)), 1); // a Monday
    EXPECT_EQ(dayOfWeekMondayFirst(encodeDate(2026, 12, 13)), 7);
    EXPECT_EQ(dayOfWeekMondayFirst(encodeDate(1899, 12, 30)), 6);
}

TEST(DateTime, EncodeDecodeRoundTripAcrossLeapYears) {
    for (int year : {1980, 1999, 2000, 2024, 2100}) {
        for (int month = 1; month <= 12; ++month) {
            const int day = daysInMonth(year, month);
            const DateParts in{year, month, day, 23, 59, 58, 500};
            const DateParts out = decodeDateTime(encodeDateTime(in));
            EXPECT_EQ(out.year, year);
            EXPECT_EQ(out.month, month);
            EXPECT_EQ(out.day, day);
            EXPECT_EQ(out.hour, 23);
            EXPECT_EQ(out.minute, 59);
            EXPECT_EQ(out.second, 58);
            EXPECT_EQ(out.millisecond, 500);
        }
    }
    EXPECT_THROW(encodeDate(2023, 2, 29), Exception);
    EXPECT_THROW(encodeTime(24, 0, 0), Exception);
}

TEST(DateTime, LocalTimeConversionRoundTrips) {
    const std::time_t t = 1780000000; // summer time in Prague
    EXPECT_EQ(toTimeT(toDateTime(t)), t);
    const std::time_t winter = 1765000000;
    EXPECT_EQ(toTimeT(toDateTime(winter)), winter);
}
