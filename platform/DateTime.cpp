#include "platform/DateTime.h"

#include "platform/Exception.h"
#include "platform/LocalTimeCache.h"

#include <cmath>

namespace kd {
namespace {

constexpr double kMsPerDay = 86400000.0;

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days from 0001-01-01 (day 1) with the proleptic Gregorian calendar.
std::int64_t dayNumber(int year, int month, int day) {
    // Days of the year before each month's first, in a common year.
    static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const std::int64_t y = year - 1;
    const std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + kBefore[month - 1];
    return days + (month > 2 && isLeap(year) ? 1 : 0) + day;
}

const std::int64_t kEpoch = dayNumber(1899, 12, 30);

} // namespace

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

TDateTime encodeDate(int year, int month, int day) {
    if (!isValidDate(year, month, day))
        throw Exception("Invalid date");
    return static_cast<double>(dayNumber(year, month, day) - kEpoch);
}

TDateTime encodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        throw Exception("Invalid time");
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
}

TDateTime encodeDateTime(const DateParts& p) {
    const TDateTime date = encodeDate(p.year, p.month, p.day);
    const TDateTime time = encodeTime(p.hour, p.minute, p.second, p.millisecond);
    // Before the epoch the fraction counts away from zero, as the original kept it.
    return date >= 0 ? date + time : date - time;
}

DateParts decodeDateTime(TDateTime value) {
    DateParts p;
    const double whole = std::trunc(value);
    auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMsPerDay));
    std::int64_t dayNo = static_cast<std::int64_t>(whole) + kEpoch;
    if (ms >= 86400000) {
        ms -= 86400000;
        dayNo += 1;
    }
    // Civil date from the day number (1 = 0001-01-01).
    std::int64_t n = dayNo - 1;
    const std::int64_t q400 = n / 146097;
    n %= 146097;
    std::int64_t q100 = n / 36524;
    if (q100 == 4)
        q100 = 3;
    n -= q100 * 36524;
    const std::int64_t q4 = n / 1461;
    n %= 1461;
    std::int64_t q1 = n / 365;
    if (q1 == 4)
        q1 = 3;
    n -= q1 * 365;
    p.year = static_cast<int>(q400 * 400 + q100 * 100 + q4 * 4 + q1 + 1);
    p.month = 1;
    while (n >= daysInMonth(p.year, p.month)) {
        n -= daysInMonth(p.year, p.month);
        ++p.month;
    }
    p.day = static_cast<int>(n) + 1;
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

int dayOfWeekMondayFirst(TDateTime value) {
    // 1899-12-30 was a Saturday (6).
    const auto days = static_cast<std::int64_t>(std::floor(value));
    return static_cast<int>(((days + 5) % 7 + 7) % 7) + 1;
}

namespace {

TDateTime fromLocal(const LocalFields& f) {
    return encodeDateTime(
        {f.year, f.month, f.day, f.hour, f.minute, f.second == 60 ? 59 : f.second, 0});
}

} // namespace

TDateTime toDateTime(std::time_t t) {
    LocalFields fields;
    LocalTimeOf(t, fields); // zero fields, refused as a date, when it fails
    return fromLocal(fields);
}

TDateTime toDateTime(std::time_t t, LocalTimeCache& cache) {
    LocalFields fields;
    return cache.Convert(t, fields) ? fromLocal(fields) : toDateTime(t);
}

TDateTime toDateTime(std::chrono::system_clock::time_point t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
    const std::time_t secs = static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(ms).count());
    const auto rest = static_cast<int>(ms.count() - static_cast<std::int64_t>(secs) * 1000);
    return toDateTime(secs) + rest / kMsPerDay;
}

std::time_t toTimeT(TDateTime value) {
    const DateParts p = decodeDateTime(value);
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

} // namespace kd
