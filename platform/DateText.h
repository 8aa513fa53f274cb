#pragma once
#include "platform/DateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace kd {

// Dates and times as text in the formats of the Czech system the program's files
// come from: short date "d.M.yyyy" (7.3.2024) and time "H:mm:ss" (9:05:00).

std::string formatShortDate(TDateTime value);
// The time of day of the value; the date part is ignored.
std::string formatTime(TDateTime value);
// As formatTime, with ".mmm" after the seconds when the milliseconds are not 0, so that
// parseTime reads the same time back.
std::string formatTimeExact(TDateTime value);

// Parses a time of day: "H:mm", "H:mm:ss" or "H:mm:ss.zzz", blanks around it and an
// "AM"/"PM" suffix allowed. Gives the fraction of a day, nullopt when not a valid time.
std::optional<TDateTime> parseTime(std::string_view text);

// Parses a date leniently, as files written under other date settings hold it: day,
// month and year separated by ".", "/" or "-" (blanks around them allowed), or an
// ISO "yyyy-M-d". A two-digit year is 1969-1999 for 69-99 and 2000-2068 for 00-68.
// Gives the date (no fraction), nullopt when the text is not a valid date.
std::optional<TDateTime> parseShortDate(std::string_view text);

} // namespace kd
