// Exact times of Info-ZIP and 7-Zip archives (extended timestamp and NTFS fields)
// survive time zones and summer time; overwrite decisions use them too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace kd {

namespace {

// The time zone for the scope (tests run with TZ set).
struct TimeZoneScope {
    explicit TimeZoneScope(const char* zone) : old(std::getenv("TZ") ? std::getenv("TZ") : "") {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneScope() {
        ::setenv("TZ", old.c_str(), 1);
        ::tzset();
    }
    std::string old;
};

std::time_t timeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

// Odd seconds, which DOS times cannot hold; summer and winter.
const std::vector<std::pair<std::string, std::time_t>> kTimes = {
    {"summer.txt", 1626344431}, // 2021-07-15 10:20:31 UTC
    {"d/winter.txt", 1610000001},
    {"d", 1600000003},
};

class ZipExtractTimes : public test::ExtractTest {
protected:
    // t/src dated by kTimes, archived by zip and 7z in Prague time.
    ZipExtractTimes() {
        const std::string src = t_.file("src");
        t_.write("src/summer.txt", "summer");
        t_.write("src/d/winter.txt", "winter");
        for (const auto& [name, when] : kTimes)
            test::mustRun("touch -d @" + std::to_string(when) + " " + src + "/" + name);
        const TimeZoneScope prague("Europe/Prague");
        test::mustRun("cd " + src +
                      " && zip -q -r ../zip.zip . && 7z a -tzip -bd -bso0 ../7z.zip .");
    }
};

} // namespace

TEST_F(ZipExtractTimes, ArchivesOfZipAnd7zRestoreTheExactTimeInAnyZone) {
    for (const char* zone : {"Europe/Prague", "America/New_York"}) {
        const TimeZoneScope scope(zone);
        for (const std::string tool : {"zip", "7z"}) {
            SCOPED_TRACE(std::string(zone) + " " + tool);
            const std::string dest = t_.file(tool + "-" + zone);
            test::configureExtractAll(zip_, t_.file(tool + ".zip"), dest);
            EXPECT_EQ(zip_.ExtractArchive(), 3);
            // The contents list shows the same moment.
            zip_.SortDirectory(TZipSortMode::ByName);
            EXPECT_EQ(zip_.GetEntryDateTime(2), toDateTime(kTimes[0].second));
            for (const auto& [name, when] : kTimes)
                EXPECT_EQ(timeOf(dest + "/" + name), when) << name;
        }
    }
}

TEST_F(ZipExtractTimes, OnlyNewerAndOnlyOlderCompareTheExactTimes) {
    // Elsewhere, the DOS time of the entry would read six hours later than the file.
    const TimeZoneScope scope("America/New_York");
    const std::string file = t_.write("dest/summer.txt", "mine");
    test::mustRun("touch -d @1626344431 " + file);
    test::configureExtractAll(zip_, t_.file("zip.zip"), t_.file("dest"));
    zip_.SetDoAll(false);
    for (const auto mode : {TUZOverwriteMode::ifNewer, TUZOverwriteMode::ifOlder}) {
        zip_.SetOverwriteMode(mode);
        zip_.SetFilesList({"summer.txt"});
        EXPECT_EQ(zip_.ExtractArchive(), 0);
        EXPECT_EQ(test::readFile(file), "mine");
    }
    test::mustRun("touch -d @1626344430 " + file); // a second older than the entry
    zip_.SetOverwriteMode(TUZOverwriteMode::ifNewer);
    zip_.SetFilesList({"summer.txt"});
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(test::readFile(file), "summer");
}

} // namespace kd
