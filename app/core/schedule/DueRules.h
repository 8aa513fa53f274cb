#pragma once
#include "app/core/logs/LastRunStamp.h"
#include "app/core/profiles/ObjektZal.h"

#include <chrono>

namespace kd {

// When a profile's scheduled backup is due. Pure functions of the profile, its last
// run and the moment asked about; the local time zone comes from the environment.

// The scheduler considers the profile at all: not paused, not manual-only, and a
// period value above 0. (A profile that has never run, having no stamp, is not
// considered either; the scheduler checks that.)
bool isScheduled(const TObjektZal& profile);

// Whether the backup of a scheduled profile is due at `now`. With S the profile's
// start time of day, D and T the local date and time of day now, L the last run's
// date and b the period value:
//  every b days:    on day L + b after S, or on any later day;
//  weekday b:       on day L + 7 after S when today is weekday b (Monday 1), on all of
//                   that day when b is an earlier weekday, or on any later day;
//  day of month b:  likewise with M = L plus one month instead of L + 7 and today's
//                   day of the month instead of the weekday;
//  every b minutes: once b minutes of real time have passed since the stamped moment.
// keepTime limits the first three kinds to the two hours after S (both ends excluded);
// the weekday kind then runs on weekday b only, more than one day after L. Days are
// calendar dates and times wall-clock times, so a change of daylight saving time
// neither repeats nor skips a day's run.
bool isBackupDue(const TObjektZal& profile, const LastRunStamp& lastRun,
                 std::chrono::system_clock::time_point now, bool keepTime);

// The date one calendar month later, on the same day of the month or on the month's
// last day when it is shorter (31 January gives the last day of February); the time of
// day is kept.
TDateTime addOneMonth(TDateTime value);

} // namespace kd
