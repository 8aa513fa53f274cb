// Permissions survive a backup and a restore; a restore never leaves a file more open
// than it was, and directories get their mode and time once their files are in.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

namespace kd {

namespace {

using test::PyEntry;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 01000000;
}

std::time_t timeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

// The process's umask for the scope.
struct UmaskScope {
    explicit UmaskScope(mode_t mask) : old(::umask(mask)) {}
    ~UmaskScope() { ::umask(old); }
    mode_t old;
};

class ZipExtractModes : public test::ExtractTest {};

} // namespace

TEST_F(ZipExtractModes, PrivateFilesScriptsAndDirectoriesRoundTrip) {
    const std::string src = t_.file("src");
    t_.write("src/private/secret.txt", "secret");
    t_.write("src/run.sh", "#!/bin/sh\necho hi\n");
    ::chmod((src + "/private/secret.txt").c_str(), 0600);
    ::chmod((src + "/private").c_str(), 0700);
    ::chmod((src + "/run.sh").c_str(), 0755);
    test::mustRun("touch -d @1000000001 " + src + "/private");

    test::WriterBench bench(t_);
    bench.zip.SetRootDir(src + "/");
    bench.zip.SetRelativePaths(true);
    bench.zip.SetRecurse(true);
    bench.zip.SetAddDirEntriesOnRecurse(true);
    ASSERT_EQ(bench.add({"*.*"}), 3);
    test::expectToolsAccept(bench.archive);

    test::configureExtractAll(zip_, bench.archive, t_.file("ours"));
    EXPECT_EQ(zip_.ExtractArchive(), 3);
    EXPECT_TRUE(zip_.ExtractFailures().empty());
    test::mustRun("unzip -q " + bench.archive + " -d " + t_.file("unzip"));
    for (const std::string out : {"ours", "unzip"}) {
        SCOPED_TRACE(out);
        const std::string dest = t_.file(out);
        EXPECT_EQ(modeOf(dest + "/private"), 0700u);
        EXPECT_EQ(modeOf(dest + "/private/secret.txt"), 0600u);
        EXPECT_EQ(modeOf(dest + "/run.sh"), 0755u);
        EXPECT_EQ(timeOf(dest + "/private"), 1000000001);
    }
}

TEST_F(ZipExtractModes, AnEntryWithoutAModeNeverOpensAFileWider) {
    const UmaskScope umask(027);
    const std::string date = PyEntry().date;
    makeZip({{"kept.txt", "new", false, 0, date, true},
             {"fresh.txt", "new", false, 0, date, true},
             {"setuid", "x", false, 0104755}});
    const std::string kept = t_.write("dest/kept.txt", "old");
    ::chmod(kept.c_str(), 0600);
    EXPECT_EQ(zip_.ExtractArchive(), 3);
    EXPECT_EQ(test::readFile(kept), "new");
    EXPECT_EQ(modeOf(kept), 0600u);
    EXPECT_EQ(modeOf(t_.file("dest/fresh.txt")), 0640u); // a new file: 0666 less the umask
    EXPECT_EQ(modeOf(t_.file("dest/setuid")), 0755u);    // never set-uid, set-gid, sticky
}

// A stored mode wider than the umask lets a new file have is set all the same, on
// the workers' files and on the calling thread's.
TEST_F(ZipExtractModes, StoredModesTheUmaskWouldNarrowAreKept) {
    const UmaskScope umask(077);
    const std::vector<std::pair<std::string, mode_t>> modes = {
        {"open.sh", 0777}, {"run.sh", 0755}, {"text.txt", 0644}, {"mine.txt", 0600}};
    std::vector<PyEntry> entries;
    for (const auto& [name, mode] : modes)
        entries.push_back({name, name, true, static_cast<int>(0100000 | mode)});
    makeZip(entries);
    for (const int threads : {1, 8}) {
        SCOPED_TRACE(threads);
        const std::string dest = t_.file("dest" + std::to_string(threads));
        zip_.SetDestDir(dest);
        zip_.SetExtractThreads(threads);
        EXPECT_EQ(zip_.ExtractArchive(), 4);
        for (const auto& [name, mode] : modes)
            EXPECT_EQ(modeOf(dest + "/" + name), mode) << name;
    }
}

TEST_F(ZipExtractModes, AClosedDirectoryIsClosedOnlyAfterItsFilesAndSubdirectoriesAreIn) {
    // Dated 2001-02-03 04:05:06 local time (DOS time only).
    const char* date = "2001, 2, 3, 4, 5, 6";
    makeZip({{"ro/", "", false, 040500, date},
             {"ro/sub/", "", false, 040500, date},
             {"ro/sub/f.txt", "f", false, 0100644},
             {"ro/g.txt", "g", false, 0100400}});
    // A user other than root, for whom the modes count.
    ::chmod(t_.path().c_str(), 0755);
    ::chmod(t_.file("a.zip").c_str(), 0644);
    ::mkdir(t_.file("dest").c_str(), 0755);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(t_.file("dest").c_str(), 65534, 65534), 0);
    }
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(2);
            const int count = zip_.ExtractArchive();
            std::_Exit(count == 4 && zip_.ExtractFailures().empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(test::readFile(t_.file("dest/ro/sub/f.txt")), "f");
    EXPECT_EQ(test::readFile(t_.file("dest/ro/g.txt")), "g");
    EXPECT_EQ(modeOf(t_.file("dest/ro")), 0500u);
    EXPECT_EQ(modeOf(t_.file("dest/ro/sub")), 0500u);
    std::tm local{};
    local.tm_year = 101, local.tm_mon = 1, local.tm_mday = 3;
    local.tm_hour = 4, local.tm_min = 5, local.tm_sec = 6, local.tm_isdst = -1;
    EXPECT_EQ(timeOf(t_.file("dest/ro")), std::mktime(&local));
    EXPECT_EQ(timeOf(t_.file("dest/ro/sub")), std::mktime(&local));
}

TEST_F(ZipExtractModes, EntriesStoredWithBackslashesExtractIntoTheirDirectories) {
    makeZip({{"d\\e\\", ""}, {"d\\e\\f.txt", "inner"}, {"top\\", ""}, {"x\\y.txt", "y"}});
    EXPECT_EQ(zip_.ExtractArchive(), 4);
    EXPECT_TRUE(zip_.ExtractFailures().empty());
    EXPECT_TRUE(std::filesystem::is_directory(t_.file("dest/d/e")));
    EXPECT_TRUE(std::filesystem::is_directory(t_.file("dest/top")));
    EXPECT_EQ(test::readFile(t_.file("dest/d/e/f.txt")), "inner");
    EXPECT_EQ(test::readFile(t_.file("dest/x/y.txt")), "y");
}

} // namespace kd
