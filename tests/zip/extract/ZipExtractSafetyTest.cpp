// Nothing an archive says may put a file outside the destination.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "zip/support/ZipExtractTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

using test::PyEntry;

class ZipExtractSafety : public ::testing::Test {
protected:
    ZipExtractSafety() {
        fs::create_directories(t_.file("work/dest"));
        fs::create_directories(t_.file("work/outside"));
    }

    // Extracts the entries into work/dest; returns the recorded events.
    test::ExtractEvents extract(const std::vector<PyEntry>& entries) {
        test::makePythonZip(t_, t_.file("a.zip"), entries);
        test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("work/dest"));
        test::ExtractEvents events(zip_);
        zip_.ExtractArchive();
        return events;
    }

    // The work directory outside dest must look as before: only an empty "outside".
    void expectNothingOutside() {
        std::string listing = test::treeListing(t_.file("work"));
        std::string outsideDest;
        std::istringstream lines(listing);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("d dest", 0) != 0 && line.rfind("f dest/", 0) != 0)
                outsideDest += line + "\n";
        EXPECT_EQ(outsideDest, "d outside\n");
    }

    test::TempDir t_;
    TZipReader zip_;
};

} // namespace

TEST_F(ZipExtractSafety, DotDotNamesAreRefusedAndAbsoluteNamesLandBelowTheDestination) {
    const auto events = extract({{"../evil1.txt", "x"},
                                 {"a/../../evil2.txt", "x"},
                                 {"..\\evil3.txt", "x"},
                                 {"../evildir/", ""},
                                 {"/abs/evil4.txt", "x"},
                                 {"C:\\win\\evil5.txt", "x"},
                                 {"ok.txt", "fine"}});
    expectNothingOutside();
    EXPECT_FALSE(fs::exists("/abs/evil4.txt"));
    EXPECT_EQ(test::readFile(t_.file("work/dest/abs/evil4.txt")), "x");
    EXPECT_EQ(test::readFile(t_.file("work/dest/win/evil5.txt")), "x");
    EXPECT_EQ(test::readFile(t_.file("work/dest/ok.txt")), "fine");
    const std::vector<std::string> refused = {"skip 5 0 evil1.txt", "skip 5 1 evil2.txt",
                                              "skip 5 2 evil3.txt", "skip 5 3 "};
    for (const auto& line : refused)
        EXPECT_NE(std::find(events.lines.begin(), events.lines.end(), line), events.lines.end())
            << line;
    ASSERT_EQ(zip_.ExtractFailures().size(), 4u);
    EXPECT_EQ(zip_.ExtractFailures()[0].Name, "../evil1.txt");
}

TEST_F(ZipExtractSafety, SymbolicLinkEntriesBecomePlainFilesAndLeadNowhere) {
    const std::string outside = t_.file("work/outside");
    extract({{"link", outside, false, 0120777},
             {"link/evil.txt", "through the link"},
             {"link", "plain"}});
    expectNothingOutside();
    EXPECT_FALSE(fs::is_symlink(t_.file("work/dest/link")));
    EXPECT_EQ(test::readFile(t_.file("work/dest/link")), "plain");
    EXPECT_TRUE(fs::is_empty(outside));
}

TEST_F(ZipExtractSafety, LinksAlreadyInTheDestinationAreNotFollowed) {
    const std::string outside = t_.file("work/outside");
    const std::string victim = t_.write("work/outside/victim.txt", "keep me");
    fs::create_directory_symlink(outside, t_.file("work/dest/sub"));
    fs::create_symlink(victim, t_.file("work/dest/file.txt"));
    const auto events = extract({{"sub/x.txt", "x"}, {"file.txt", "new"}});
    EXPECT_EQ(test::readFile(victim), "keep me");
    EXPECT_FALSE(fs::exists(outside + "/x.txt"));
    EXPECT_EQ(events.Main()[2], "skip 5 0 x.txt");
    // The link at the target itself is replaced by the file, never written through.
    EXPECT_FALSE(fs::is_symlink(t_.file("work/dest/file.txt")));
    EXPECT_EQ(test::readFile(t_.file("work/dest/file.txt")), "new");
}

TEST_F(ZipExtractSafety, EmptyDestinationIsTheCurrentDirectory) {
    const fs::path before = fs::current_path();
    fs::current_path(t_.file("work/dest"));
    test::makePythonZip(t_, t_.file("a.zip"), {{"/top/x.txt", "x"}});
    test::configureExtractAll(zip_, t_.file("a.zip"), "");
    std::string shown;
    zip_.OnEndUnZip = [&shown](TZipReader&, int, const std::string& name) { shown = name; };
    const int count = zip_.ExtractArchive();
    fs::current_path(before);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(shown, "top/x.txt");
    EXPECT_EQ(test::readFile(t_.file("work/dest/top/x.txt")), "x");
}

} // namespace kd

namespace kd {

// The run keeps the directories it walked open for the next entries; one moved away
// and replaced by a link meanwhile (a/ or, deeper, a/b/) must not take the next entry
// outside, nor into the directory moved.
TEST_F(ZipExtractSafety, ADirectorySwappedForALinkDuringTheRunIsNotFollowed) {
    for (const std::string swapped : {"a", "a/b"}) {
        SCOPED_TRACE(swapped);
        fs::remove_all(t_.file("work"));
        fs::create_directories(t_.file("work/dest"));
        fs::create_directories(t_.file("work/outside"));
        test::makePythonZip(t_, t_.file("a.zip"),
                            {{"a/b/one.txt", "1"}, {"a/b/two.txt", "2"}, {"a/three.txt", "3"}});
        test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("work/dest"));
        int started = 0;
        zip_.OnStartUnZip = [&](TZipReader&, int, std::string&, bool&) {
            if (++started != 2)
                return;
            fs::rename(t_.file("work/dest/" + swapped), t_.file("work/moved"));
            fs::create_directory_symlink(t_.file("work/outside"), t_.file("work/dest/" + swapped));
        };
        zip_.ExtractArchive();
        EXPECT_TRUE(fs::is_empty(t_.file("work/outside")));
        EXPECT_EQ(fs::exists(t_.file("work/dest/a/three.txt")), swapped == "a/b");
        EXPECT_EQ(zip_.ExtractFailures().size(), swapped == "a" ? 2u : 1u);
        for (const auto& item : fs::recursive_directory_iterator(t_.file("work/moved")))
            EXPECT_NE(item.path().filename(), "two.txt");
    }
}

// The directories' stored times are set at the end, through the directories the run
// still holds: one swapped for a link after its files went in keeps the time off the
// directory linked to, and off the one moved away.
TEST_F(ZipExtractSafety, DirectoryTimesGoOnlyToDirectoriesStillInPlace) {
    test::makePythonZip(t_, t_.file("a.zip"),
                        {{"a/", ""}, {"a/b/", ""}, {"a/c/", ""}, {"a/c/two.txt", "2"},
                         {"a/b/one.txt", "1"}});
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("work/dest"));
    zip_.SetRecreateDirs(true);
    const auto timeOf = [](const std::string& path) {
        return fs::last_write_time(path).time_since_epoch().count();
    };
    const auto outsideTime = timeOf(t_.file("work/outside"));
    zip_.OnEndUnZip = [&](TZipReader&, int, const std::string& name) {
        if (name.ends_with("one.txt")) {
            fs::rename(t_.file("work/dest/a/b"), t_.file("work/moved"));
            fs::create_directory_symlink(t_.file("work/outside"), t_.file("work/dest/a/b"));
        }
    };
    zip_.ExtractArchive();
    EXPECT_EQ(timeOf(t_.file("work/outside")), outsideTime);
    EXPECT_NE(timeOf(t_.file("work/moved")), timeOf(t_.file("work/dest/a/c")));
    EXPECT_EQ(timeOf(t_.file("work/dest/a/c")), timeOf(t_.file("work/dest/a")));
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    EXPECT_EQ(zip_.ExtractFailures()[0].Name, "a/b/");
}

} // namespace kd
