#pragma once
#include "app/core/LastRunStamp.h"
#include "app/core/ObjektZal.h"

#include <chrono>

namespace kd {

// When a profile's scheduled backup is due. Pure functions of the profile, its last
// run and the moment asked about; the local time zone comes from the environment.

// The scheduler considers the profile at all: not paused, not manual-only, and a
// period value above 0. (A profile that has never run, having no stamp, is not
// considered either; the scheduler checks that.)
bool isScheduled(const TObjektZal& profile);

// Whether the backup of a scheduled profile is due at `now`. With S the profile's
// start time of day, D and T today's date and time of day, L the last run's date:
//  every b days:   from S on day L + b, or any time later;
//  weekday b:      from S on day L + 7 when b is today's weekday (Monday 1), any time
//                  that day when b is an earlier weekday, any time after day L + 7;
//  day of month b: from day M = L + one month (clamped to the month's end) as for
//                  the weekday, with b compared to today's day of the month;
//  every b min.:   once b minutes of real time have passed since the stamped moment.
// keepTime restricts the first three kinds to the two hours after S (both ends
// excluded); the weekday kind then runs only on weekday b, more than one day after
// L. Days are compared as calendar dates and times as wall-clock time, so a change
// of daylight saving time neither repeats nor skips a day's run.
bool isBackupDue(const TObjektZal& profile, const LastRunStamp& lastRun,
                 std::chrono::system_clock::time_point now, bool keepTime);

// The date one calendar month later, on the same day of the month or on the month's
// last day when it is shorter (31 January gives the last day of February); the time of
// day is kept.
TDateTime addOneMonth(TDateTime value);

} // namespace kd
