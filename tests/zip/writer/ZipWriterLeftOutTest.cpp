// What a zip run leaves out, and that it never does so in silence: directories it
// cannot list, paths too long for the system, FIFOs named by a mask, files that
// cannot be opened; and what it leaves out on purpose: its own archives.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "support/Unreadable.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

namespace {

struct LeftOut {
    TSkipReason reason;
    std::string name;
    std::string detail;
    bool operator==(const LeftOut&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LeftOut& l) {
    return out << static_cast<int>(l.reason) << " " << l.name << " (" << l.detail << ")";
}

// A writer over t/tree, recursing with "*.*", that records every OnSkippingFile.
struct Bench {
    test::TempDir t;
    test::WriterBench bench{t};
    std::string tree = t.file("tree");
    std::vector<LeftOut> leftOut;

    Bench() {
        std::filesystem::create_directories(tree);
        bench.zip.SetRootDir(tree);
        bench.zip.SetRelativePaths(true);
        bench.zip.OnSkippingFile = [this](TZipReader&, TSkipReason reason, const std::string& name,
                                          int, bool&) {
            leftOut.push_back({reason, name, bench.zip.SkipDetail()});
        };
    }
    int add(const std::string& mask = "*.*") { return bench.add({mask}); }
    std::vector<std::string> stored() {
        std::vector<std::string> names;
        for (int i = 0; i < bench.zip.GetEntryCount(); ++i)
            names.push_back(bench.zip.Entry(i).FullName());
        return names;
    }
};

TEST(ZipWriterLeftOut, DirectoriesThatCannotBeListedAreReportedWithTheirReason) {
    Bench r;
    r.t.write("tree/a.txt", "a");
    r.t.write("tree/closed/secret.txt", "s");
    r.t.write("tree/writeonly/inner.txt", "w");
    test::Unreadable closed(r.tree + "/closed", 0);
    test::Unreadable writeOnly(r.tree + "/writeonly", 0300);
    if (!closed.effective())
        GTEST_SKIP() << "permissions cannot be taken away here";
    EXPECT_EQ(r.add(), 1);
    EXPECT_EQ(r.stored(), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(r.leftOut,
              (std::vector<LeftOut>{
                  {TSkipReason::srUnreadableDir, r.tree + "/closed/", "Permission denied"},
                  {TSkipReason::srUnreadableDir, r.tree + "/writeonly/", "Permission denied"}}));

    // The start directory itself, and a directory a wildcard part names.
    r.leftOut.clear();
    EXPECT_EQ(r.bench.add({r.tree + "/closed/*.txt", r.tree + "/c*/x/*.*"}), 0);
    EXPECT_EQ(r.leftOut,
              (std::vector<LeftOut>{
                  {TSkipReason::srUnreadableDir, r.tree + "/closed/", "Permission denied"},
                  {TSkipReason::srUnreadableDir, r.tree + "/closed/", "Permission denied"}}));
}

TEST(ZipWriterLeftOut, PathsLongerThanTheSystemTakesAreReported) {
    Bench r;
    // A directory whose path has 4000 characters: its files of 120 characters and its
    // subdirectories pass PATH_MAX (4096).
    const std::string level(200, 'd');
    std::string deep = r.tree;
    int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    while (deep.size() < 4000) {
        const std::string name = level.substr(0, std::min<std::size_t>(200, 3999 - deep.size()));
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        deep += "/" + name;
    }
    const std::string fileName(120, 'f');
    ::close(::openat(fd, "near.txt", O_CREAT | O_WRONLY, 0644));
    ::close(::openat(fd, fileName.c_str(), O_CREAT | O_WRONLY, 0644));
    ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
    ::close(fd);

    r.add();
    const std::vector<std::string> stored = r.stored();
    EXPECT_EQ(stored.size(), 1u);
    EXPECT_TRUE(stored.at(0).ends_with("/near.txt"));
    EXPECT_EQ(r.leftOut,
              (std::vector<LeftOut>{
                  {TSkipReason::srPathTooLong, deep + "/" + level + "/", "File name too long"},
                  {TSkipReason::srPathTooLong, deep + "/" + fileName, "File name too long"}}));
    test::runCommand("rm -rf '" + r.tree + "'"); // deeper than the test's own clean-up reaches
}

TEST(ZipWriterLeftOut, SpecialAndBrokenFilesNamedByAMaskAreReported) {
    Bench r;
    r.t.write("tree/a.txt", "a");
    ASSERT_EQ(::mkfifo((r.tree + "/pipe.txt").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((r.tree + "/pipe.dat").c_str(), 0600), 0); // not named by the mask
    ASSERT_EQ(::mkfifo((r.tree + "/pipe.bak").c_str(), 0600), 0); // excluded
    ASSERT_EQ(::symlink("missing", (r.tree + "/dead.txt").c_str()), 0);
    r.bench.zip.SetExcludeList({"*.bak"});
    EXPECT_EQ(r.add("*.txt"), 1);
    EXPECT_EQ(r.leftOut,
              (std::vector<LeftOut>{
                  {TSkipReason::srOpenFailed, r.tree + "/dead.txt", "No such file or directory"},
                  {TSkipReason::srSpecialFile, r.tree + "/pipe.txt", ""}}));

    // Named on their own, the same.
    r.leftOut.clear();
    EXPECT_EQ(r.bench.add({"pipe.dat"}), 0);
    EXPECT_EQ(r.leftOut,
              (std::vector<LeftOut>{{TSkipReason::srSpecialFile, r.tree + "/pipe.dat", ""}}));
}

TEST(ZipWriterLeftOut, AFileThatCannotBeOpenedSaysWhy) {
    Bench r;
    r.t.write("tree/a.txt", "a");
    r.t.write("tree/locked.txt", "l");
    test::Unreadable locked(r.tree + "/locked.txt");
    if (!locked.effective())
        GTEST_SKIP() << "permissions cannot be taken away here";
    EXPECT_EQ(r.add(), 1);
    EXPECT_EQ(r.leftOut, (std::vector<LeftOut>{{TSkipReason::srOpenFailed, r.tree + "/locked.txt",
                                                "Permission denied"}}));
}

TEST(ZipWriterLeftOut, OwnArchivesAreNeverStoredUnderAnyName) {
    Bench r;
    r.t.write("tree/a.txt", "a");
    const std::string older = r.t.write("tree/backup/P1.zip", "an older version");
    ASSERT_EQ(::link(older.c_str(), (r.tree + "/copy.bin").c_str()), 0);
    r.t.write("tree/backup/P1.zip.txt", "the user's own file");
    r.bench.zip.SetOwnArchives({r.tree + "/backup/../backup/P1.zip"});
    r.add();
    EXPECT_EQ(r.stored(), (std::vector<std::string>{"a.txt", "backup/P1.zip.txt"}));
    EXPECT_TRUE(r.leftOut.empty());
}

TEST(ZipWriterLeftOut, AnEmptyRunCanLeaveTheArchiveUnwritten) {
    Bench r;
    r.bench.zip.SetSkipEmptyArchive(true);
    EXPECT_EQ(r.add(), 0);
    EXPECT_TRUE(r.bench.zip.EmptyArchiveSkipped());
    EXPECT_EQ(test::filesIn(r.t.path()), std::vector<std::string>{});

    // An archive that keeps old entries is not empty.
    r.bench.zip.SetSkipEmptyArchive(false);
    r.t.write("tree/a.txt", "a");
    EXPECT_EQ(r.add(), 1);
    EXPECT_FALSE(r.bench.zip.EmptyArchiveSkipped());
    std::filesystem::remove(r.tree + "/a.txt");
    r.bench.zip.SetSkipEmptyArchive(true);
    EXPECT_EQ(r.add(), 0);
    EXPECT_FALSE(r.bench.zip.EmptyArchiveSkipped());
    EXPECT_EQ(r.stored(), std::vector<std::string>{"a.txt"});

    // Without the setting, an empty source gives an archive of nothing.
    Bench fresh;
    EXPECT_EQ(fresh.add(), 0);
    EXPECT_EQ(std::filesystem::file_size(fresh.bench.archive), 22u);
}

} // namespace
