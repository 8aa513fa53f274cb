// The cached local-time conversion gives what localtime_r gives, across summer time,
// zones that shift by half an hour or count leap seconds, and a change of zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/LocalTimeCache.h"

using namespace kd;

namespace {

// Tests that set the time zone (TZ), which is put back afterwards.
class LocalTimeCacheTest : public ::testing::Test {
protected:
    void Zone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void TearDown() override {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

std::string text(const LocalFields& f) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);
    return buffer;
}

// Compares the cache with the C library from first to last in steps of step seconds;
// the number of moments that differ.
int differences(LocalTimeCache& cache, std::time_t first, std::time_t last, std::time_t step) {
    int differ = 0;
    for (std::time_t t = first; t <= last; t += step) {
        LocalFields cached, direct;
        const bool converted = cache.Convert(t, cached);
        EXPECT_EQ(converted, LocalTimeOf(t, direct)) << t;
        if (converted && text(cached) != text(direct) && ++differ <= 5)
            ADD_FAILURE() << t << ": " << text(cached) << " instead of " << text(direct);
    }
    return differ;
}

constexpr std::time_t kYear = 365 * 86400;

class LocalTimeCacheZones : public LocalTimeCacheTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(LocalTimeCacheZones, AgreesWithTheCLibraryOverTheCenturyAndAroundEachChange) {
    Zone(GetParam());
    LocalTimeCache cache;
    // 1900 to 2060 at odd steps, then every ten minutes through three years of changes.
    EXPECT_EQ(differences(cache, -70 * kYear, 90 * kYear, 86400 + 3661), 0);
    EXPECT_EQ(differences(cache, 50 * kYear, 53 * kYear, 600 + 1), 0);
}

INSTANTIATE_TEST_SUITE_P(Zones, LocalTimeCacheZones,
                         ::testing::Values("Europe/Prague", "Australia/Lord_Howe",
                                           "America/Sao_Paulo", "right/Europe/Prague", "UTC"));

TEST_F(LocalTimeCacheTest, FollowsAChangeOfTimeZone) {
    LocalTimeCache cache;
    const std::time_t summer = 1626344431; // 2021-07-15 10:20:31 UTC
    LocalFields fields;
    Zone("Europe/Prague");
    ASSERT_TRUE(cache.Convert(summer, fields));
    EXPECT_EQ(text(fields), "2021-07-15 12:20:31");
    Zone("America/Los_Angeles");
    ASSERT_TRUE(cache.Convert(summer, fields));
    EXPECT_EQ(text(fields), "2021-07-15 03:20:31");
}

} // namespace
