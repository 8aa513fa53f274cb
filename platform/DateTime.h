#pragma once
#include <chrono>
#include <cstdint>
#include <ctime>

namespace kd {

class LocalTimeCache;

// A local date and time as the original program kept it: days since 1899-12-30,
// the time of day as the fraction.
using TDateTime = double;

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Throws kd::Exception for a date or time that does not exist.
TDateTime encodeDateTime(const DateParts& parts);
TDateTime encodeDate(int year, int month, int day);
TDateTime encodeTime(int hour, int minute, int second, int millisecond = 0);
DateParts decodeDateTime(TDateTime value);

bool isValidDate(int year, int month, int day);
int daysInMonth(int year, int month);
// Day of the week, Monday = 1 ... Sunday = 7.
int dayOfWeekMondayFirst(TDateTime value);

// Local-time conversions.
TDateTime toDateTime(std::time_t t);
// The same through cache, for many moments in a row.
TDateTime toDateTime(std::time_t t, LocalTimeCache& cache);
std::time_t toTimeT(TDateTime value);
TDateTime toDateTime(std::chrono::system_clock::time_point t);

} // namespace kd
