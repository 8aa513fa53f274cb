#include "platform/LocalTimeCache.h"

#include <time.h>

namespace kd {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

// The civil date and time of a count of seconds since 1970-01-01 00:00 taken as is.
LocalFields civil(std::int64_t seconds) {
    const std::int64_t days = floorDiv(seconds, kSecondsPerDay);
    const auto inDay = static_cast<int>(seconds - days * kSecondsPerDay);
    // Days to year, month and day of the proleptic Gregorian calendar, in eras of
    // 400 years that start on 1 March.
    const std::int64_t z = days + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const auto dayOfEra = static_cast<int>(z - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shifted = (5 * dayOfYear + 2) / 153; // months from March
    LocalFields f;
    f.day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    f.month = shifted < 10 ? shifted + 3 : shifted - 9;
    f.year = static_cast<int>(yearOfEra + era * 400) + (f.month <= 2 ? 1 : 0);
    f.hour = inDay / 3600;
    f.minute = inDay / 60 % 60;
    f.second = inDay % 60;
    return f;
}

bool fromLibrary(std::time_t moment, LocalFields& fields, long* offset) {
    std::tm tm{};
    if (!::localtime_r(&moment, &tm))
        return false;
    fields = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    *offset = tm.tm_gmtoff;
    return true;
}

bool operator==(const LocalFields& a, const LocalFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

} // namespace

bool LocalTimeOf(std::time_t moment, LocalFields& fields) {
    long offset = 0;
    return fromLibrary(moment, fields, &offset);
}

bool LocalTimeCache::sameZone() const {
    return zoneNames_[0] == ::tzname[0] && zoneNames_[1] == ::tzname[1] &&
           zoneOffset_ == ::timezone;
}

bool LocalTimeCache::learn(Day& day, std::int64_t number) {
    const std::int64_t first = number * kSecondsPerDay, last = first + kSecondsPerDay - 1;
    LocalFields atFirst, atLast;
    long offsetFirst = 0, offsetLast = 0;
    if (!fromLibrary(static_cast<std::time_t>(first), atFirst, &offsetFirst) ||
        !fromLibrary(static_cast<std::time_t>(last), atLast, &offsetLast))
        return false;
    day.number = number;
    day.offset = offsetFirst;
    day.exact = offsetFirst == offsetLast && civil(first + offsetFirst) == atFirst &&
                civil(last + offsetLast) == atLast;
    return true;
}

bool LocalTimeCache::Convert(std::time_t moment, LocalFields& fields) {
    if (!sameZone()) {
        last_ = false;
        days_.fill(Day{});
        zoneNames_[0] = ::tzname[0];
        zoneNames_[1] = ::tzname[1];
        zoneOffset_ = ::timezone;
    }
    if (last_ && moment == lastMoment_) {
        fields = lastFields_;
        return true;
    }
    const std::int64_t number = floorDiv(moment, kSecondsPerDay);
    Day& day = days_[static_cast<std::size_t>(number) % days_.size()];
    if ((day.number != number && !learn(day, number)) || !day.exact)
        return LocalTimeOf(moment, fields);
    fields = civil(static_cast<std::int64_t>(moment) + day.offset);
    lastMoment_ = moment;
    lastFields_ = fields;
    last_ = true;
    return true;
}

} // namespace kd
