#pragma once
#include "platform/DateTime.h"

#include <optional>
#include <string>

namespace kd {

// When a profile's backup last ran, from its stamp file <name>.txt beside the
// profiles: a date line and a time-of-day line. A value that could not be read is 0.
struct LastRunStamp {
    TDateTime Date = 0; // the date, no fraction
    TDateTime Time = 0; // the time of day, a fraction of a day
};

// "<dir>/<name>.txt"
std::string lastRunStampPath(const std::string& dir, const std::string& name);

// The profile's stamp; nullopt when the profile has no stamp file. A line that does
// not read as a date (or time) gives 0 for it; dates written with a two-digit year or
// with "/" or "-" between the numbers are read too. Throws kd::Exception when the
// file exists but cannot be read.
std::optional<LastRunStamp> readLastRunIfAny(const std::string& dir, const std::string& name);

// As readLastRunIfAny, with both values 0 when there is no stamp file.
LastRunStamp ReadLastRun(const std::string& dir, const std::string& name);

// Writes the stamp anew, atomically: "d.M.yyyy" and "H:mm:ss" lines ended by CR LF.
// runStarted is the local date and time at which the run began, so that files changed
// while it ran are taken by the next run. Throws kd::Exception when writing fails.
void WriteLastRun(const std::string& dir, const std::string& name, TDateTime runStarted);

} // namespace kd
