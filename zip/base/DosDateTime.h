#pragma once
#include <cstdint>
#include <ctime>
#include <optional>

#include "platform/DateTime.h"
#include "platform/LocalTimeCache.h"

namespace kd {

// DOS date and time as ZIP records keep them: the time in the low word (hours << 11 |
// minutes << 5 | seconds / 2), the date in the high word ((year - 1980) << 9 |
// month << 5 | day), local time.

// Limits every field (hour 23, minute 59, seconds 58, year 1980-2099, month 1-12,
// day 1-31); a value whose fields were all in range comes back unchanged.
std::uint32_t DosDateTimeClamp(std::uint32_t value);

// The date-time a DOS value names; nullopt when it names no real date or time (for
// example 31 February, or 62 seconds).
std::optional<TDateTime> DosDateTimeToDateTime(std::uint32_t value);

// Packs a date-time (odd seconds round down). Dates before 1980 give 1980-01-01
// 00:00:00, dates after 2107 give 2107-12-31 23:59:58: the limits the format holds.
std::uint32_t DateTimeToDosDateTime(TDateTime value);

// The same for a time_t in local time.
std::uint32_t UnixTimeToDosDateTime(std::time_t value);
// The same through cache, for many moments in a row.
std::uint32_t UnixTimeToDosDateTime(std::time_t value, LocalTimeCache& cache);

} // namespace kd
