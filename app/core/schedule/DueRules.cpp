#include "app/core/schedule/DueRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <optional>

namespace kd {
namespace {

using TimePoint = std::chrono::system_clock::time_point;

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kWindowMs = 2 * 3600000;

std::int64_t dayOf(TDateTime value) {
    return static_cast<std::int64_t>(std::trunc(value));
}

// The time of day in milliseconds (before the epoch the fraction counts away from zero).
std::int64_t msOfDay(TDateTime value) {
    const auto ms = std::llround(std::fabs(value - std::trunc(value)) * kMsPerDay);
    return std::min<std::int64_t>(ms, kMsPerDay - 1);
}

// Now as the local calendar sees it.
struct LocalNow {
    std::int64_t day;  // D
    std::int64_t time; // T, milliseconds since midnight
    int weekday;       // w, Monday 1 ... Sunday 7
    int dayOfMonth;    // d
};

LocalNow localNow(TimePoint now) {
    const TDateTime local = toDateTime(now);
    const DateParts p = decodeDateTime(local);
    const TDateTime date = encodeDate(p.year, p.month, p.day);
    const std::int64_t time = ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond;
    return {dayOf(date), time, dayOfWeekMondayFirst(date), p.day};
}

bool sameWallClock(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
           a.tm_hour == b.tm_hour && a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

// The moment a stamped local date and time stands for. A wall-clock time that occurs
// twice (the hour repeated when daylight saving time ends) is taken as the later one:
// a run is then at worst an hour late, never repeated at once.
std::optional<TimePoint> stampedMoment(const LastRunStamp& stamp) {
    const DateParts date = decodeDateTime(dayOf(stamp.Date));
    const std::int64_t ms = msOfDay(stamp.Time);
    std::tm wall{};
    wall.tm_year = date.year - 1900;
    wall.tm_mon = date.month - 1;
    wall.tm_mday = date.day;
    wall.tm_hour = static_cast<int>(ms / 3600000);
    wall.tm_min = static_cast<int>(ms / 60000 % 60);
    wall.tm_sec = static_cast<int>(ms / 1000 % 60);

    std::optional<std::time_t> best;
    for (const int dst : {0, 1}) {
        std::tm guess = wall;
        guess.tm_isdst = dst;
        const std::time_t t = std::mktime(&guess);
        std::tm back{};
        if (localtime_r(&t, &back) == nullptr || !sameWallClock(back, wall))
            continue;
        best = best ? std::max(*best, t) : t;
    }
    if (!best) { // a time in the hour skipped when daylight saving time begins
        std::tm guess = wall;
        guess.tm_isdst = -1;
        const std::time_t t = std::mktime(&guess);
        if (t == static_cast<std::time_t>(-1))
            return std::nullopt;
        best = t;
    }
    return std::chrono::system_clock::from_time_t(*best) + std::chrono::milliseconds(ms % 1000);
}

bool minutesElapsed(const LastRunStamp& stamp, int minutes, TimePoint now) {
    if (stamp.Date <= 0)
        return true; // no readable date: the earliest moment there is
    const auto moment = stampedMoment(stamp);
    return !moment || *moment + std::chrono::minutes(minutes) < now;
}

} // namespace

bool isScheduled(const TObjektZal& profile) {
    return !profile.Paused && profile.PeriodKind != 0 && profile.PeriodValue > 0;
}

TDateTime addOneMonth(TDateTime value) {
    DateParts p = decodeDateTime(value);
    if (p.month == 12) {
        p.month = 1;
        ++p.year;
    } else {
        ++p.month;
    }
    if (p.year > 9999)
        return value + 31;
    p.day = std::min(p.day, daysInMonth(p.year, p.month));
    return encodeDateTime(p);
}

bool isBackupDue(const TObjektZal& profile, const LastRunStamp& lastRun, TimePoint now,
                 bool keepTime) {
    if (!isScheduled(profile))
        return false;
    const int b = profile.PeriodValue;
    if (profile.PeriodKind == 4)
        return minutesElapsed(lastRun, b, now);

    const LocalNow n = localNow(now);
    const std::int64_t L = dayOf(lastRun.Date);
    const std::int64_t S = msOfDay(profile.StartTime);
    const bool afterStart = n.time > S;
    const bool inWindow = afterStart && n.time < S + kWindowMs;

    switch (profile.PeriodKind) {
    case 1: {
        const bool due = n.day > L + b || (n.day == L + b && afterStart);
        return due && (!keepTime || inWindow);
    }
    case 2:
        if (keepTime)
            return n.day > L + 1 && b == n.weekday && inWindow;
        return n.day > L + 7 ||
               (n.day == L + 7 && (b < n.weekday || (b == n.weekday && afterStart)));
    case 3: {
        const std::int64_t M = dayOf(addOneMonth(static_cast<TDateTime>(L)));
        if (keepTime)
            return (n.day > M || (n.day == M && b <= n.dayOfMonth)) && inWindow;
        return n.day > M || (n.day == M && (b < n.dayOfMonth || (b == n.dayOfMonth && afterStart)));
    }
    default:
        return false;
    }
}

} // namespace kd
