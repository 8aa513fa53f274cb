// Exact times of Info-ZIP and 7-Zip archives (extended timestamp and NTFS fields)
// survive time zones and summer time; overwrite decisions use them too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <sys/stat.h>

#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

namespace kd {

namespace {

// The time zone for the scope.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneScope() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

private:
    std::optional<std::string> old_;
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
    // t/src dated by kTimes, archived by zip, 7z and our writer (in Prague time).
    ZipExtractTimes() {
        const std::string src = t_.file("src");
        t_.write("src/summer.txt", "summer");
        t_.write("src/d/winter.txt", "winter");
        for (const auto& [name, when] : kTimes)
            test::mustRun("touch -d @" + std::to_string(when) + " " + src + "/" + name);
        const TimeZoneScope prague("Europe/Prague");
        test::mustRun("cd " + src +
                      " && zip -q -r ../zip.zip . && 7z a -tzip -bd -bso0 ../7z.zip .");
        test::WriterBench bench(t_);
        bench.zip.SetRootDir(src + "/");
        bench.zip.SetRelativePaths(true);
        bench.zip.SetRecurse(true);
        bench.zip.SetAddDirEntriesOnRecurse(true);
        bench.zip.SetZipName(t_.file("ours.zip"));
        EXPECT_EQ(bench.add({"*.*"}), 3);
    }
};

} // namespace

TEST_F(ZipExtractTimes, ArchivesOfZip7zAndOursRestoreTheExactTimeInAnyZone) {
    for (const char* zone : {"Europe/Prague", "America/New_York"}) {
        const TimeZoneScope scope(zone);
        for (const std::string tool : {"zip", "7z", "ours"}) {
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
