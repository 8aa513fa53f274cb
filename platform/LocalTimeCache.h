#pragma once
#include <array>
#include <cstdint>
#include <ctime>

namespace kd {

// A moment's local date and time as localtime_r gives it.
struct LocalFields {
    int year = 0, month = 0, day = 0; // month 1-12
    int hour = 0, minute = 0, second = 0;
};

// The local date and time of a moment through localtime_r; false when it fails.
bool LocalTimeOf(std::time_t moment, LocalFields& fields);

// Local dates and times of many moments in a row, as localtime_r gives them, without
// asking the C library for each: a day's offset from UTC is looked up once, at its
// first and its last second. The time zone rules hold no two changes of the offset
// within days of each other, so a day whose two ends have the same offset (and
// convert by it exactly, which a zone counting leap seconds does not) has that offset
// throughout; any other day is converted moment by moment. For one run of
// conversions: a cache made before the time zone was changed (tzset) converts by the
// old zone, as far as it can tell.
class LocalTimeCache {
public:
    // False when the C library cannot convert the moment.
    bool Convert(std::time_t moment, LocalFields& fields);

private:
    struct Day {
        std::int64_t number = INT64_MIN; // days since 1970-01-01 UTC; none yet
        long offset = 0;                 // seconds east of UTC
        bool exact = false;              // offset holds all day
    };
    // Looks the day up anew; false when the C library cannot convert its ends.
    bool learn(Day& day, std::int64_t number);
    bool sameZone() const;

    std::array<Day, 256> days_{};
    // The last moment converted by its day's offset: files written together share it.
    std::time_t lastMoment_ = 0;
    LocalFields lastFields_;
    bool last_ = false;
    // The time zone the days were learnt in, as tzset leaves it.
    const char* zoneNames_[2] = {nullptr, nullptr};
    long zoneOffset_ = 0;
};

} // namespace kd
