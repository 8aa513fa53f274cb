// Exact times of Info-ZIP, 7-Zip and macOS archives (extended timestamp and NTFS
// fields, in local and central headers) survive time zones and summer time; overwrite
// decisions use them too.
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

// Extended timestamps as macOS and other tools write them, made in California
// (DOS times 03:20:30 local): the modification time of the local header alone (its
// flags announcing access and creation times too), the central one holding only the
// flags, both headers, the central one alone; a local one behind a long field of
// another kind (the local extra field far longer than the central one); and a
// directory timed in its local header only.
constexpr std::time_t kMacTime = 1626344431; // 2021-07-15 10:20:31 UTC
const char* const kMacFormsScript = R"(
import struct, sys, zlib
T = 1626344431
def ut(flags, *times):
    data = bytes([flags]) + b''.join(struct.pack('<I', t) for t in times)
    return struct.pack('<HH', 0x5455, len(data)) + data
DOS = (3 << 11 | 20 << 5 | 15) | (41 << 9 | 7 << 5 | 15) << 16
entries = [
    ('local-only.txt', ut(7, T), b''),
    ('central-flags.txt', ut(1, T), ut(1)),
    ('both.txt', ut(3, T, T - 86400), ut(3, T)),
    ('central-only.txt', b'', ut(1, T)),
    ('padded.txt', struct.pack('<HH', 0xCAFE, 1000) + bytes(1000) + ut(1, T), ut(1)),
    ('d/', ut(7, T), b''),
]
out, central = bytearray(), bytearray()
for name, local, cen in entries:
    data = b'' if name.endswith('/') else name.encode()
    mode = 0o40755 if name.endswith('/') else 0o100644
    n, crc, at = name.encode(), zlib.crc32(data), len(out)
    out += struct.pack('<IHHHIIIIHH', 0x04034B50, 10, 0, 0, DOS, crc, len(data), len(data),
                       len(n), len(local)) + n + local + data
    central += struct.pack('<IHHHHIIIIHHHHHII', 0x02014B50, 0x0315, 10, 0, 0, DOS, crc,
                           len(data), len(data), len(n), len(cen), 0, 0, 0, mode << 16,
                           at) + n + cen
out += central + struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, len(entries), len(entries),
                             len(central), len(out), 0)
open(sys.argv[1], 'wb').write(out)
)";

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

TEST_F(ZipExtractTimes, EveryFormOfTheExtendedTimestampGivesTheExactTime) {
    const TimeZoneScope scope("Europe/Prague");
    const std::string archive = t_.file("mac.zip");
    test::runPython(t_, kMacFormsScript, "'" + archive + "'");
    // unzip gives the time of the local header (the DOS time, nine hours off, where
    // there is none); it lists the central header's, as the contents list does.
    test::mustRun("unzip -q '" + archive + "' -d '" + t_.file("unzip") + "'");
    const std::time_t dosTime = kMacTime - 9 * 3600 - 1;
    const char* const names[] = {"local-only.txt", "central-flags.txt", "both.txt", "padded.txt",
                                 "d"};
    for (const char* name : names)
        EXPECT_EQ(timeOf(t_.file("unzip/") + name), kMacTime) << name;
    EXPECT_EQ(timeOf(t_.file("unzip/central-only.txt")), dosTime);
    for (const int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        const std::string dest = t_.file("dest" + std::to_string(threads));
        test::configureExtractAll(zip_, archive, dest);
        zip_.SetExtractThreads(threads);
        EXPECT_EQ(zip_.ExtractArchive(), 6);
        for (const char* name : names)
            EXPECT_EQ(timeOf(dest + "/" + name), kMacTime) << name;
        EXPECT_EQ(test::readFile(dest + "/padded.txt"), "padded.txt");
        // Where only the central header has it, that time is the one there is.
        EXPECT_EQ(timeOf(dest + "/central-only.txt"), kMacTime);
        for (int i = 0; i < zip_.GetEntryCount(); ++i) {
            const std::string name = zip_.GetEntryFileName(i);
            const bool central = name == "both.txt" || name == "central-only.txt";
            EXPECT_EQ(zip_.GetEntryDateTime(i), toDateTime(central ? kMacTime : dosTime)) << name;
        }
    }
    // Only newer: a file a second older than the entry's local time is replaced.
    for (const int threads : {1, 4}) {
        const std::string mine = t_.write("dest1/local-only.txt", "mine");
        test::mustRun("touch -d @" + std::to_string(kMacTime - 1) + " " + mine);
        zip_.SetExtractThreads(threads);
        zip_.SetOverwriteMode(TUZOverwriteMode::ifNewer);
        zip_.SetDestDir(t_.file("dest1"));
        EXPECT_EQ(zip_.ExtractArchive(), 2) << threads; // the file and the directory
        EXPECT_EQ(test::readFile(mine), "local-only.txt");
    }
}

} // namespace kd
