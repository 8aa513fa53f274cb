// The directory entries of a backup: which directories get one, and that they are
// neither counted nor logged as files nor make an empty run write an archive.
#include "app/support/BackupRunFixture.h"

#include <gmock/gmock.h>

using namespace kd;
using namespace kd::test;
namespace fs = std::filesystem;

namespace {

class BackupRunDirectoriesTest : public BackupRunFixture {
protected:
    BackupRunDirectoriesTest() { settings.NoQuestions = false; }
    // Dates the source directories ageDays back (after their files were written).
    void ageDirectories(const std::vector<std::string>& names, double ageDays) {
        for (const std::string& name : names)
            fs::last_write_time(source + "/" + name,
                                fs::file_time_type::clock::now() -
                                    std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::duration<double>(ageDays * 86400)));
    }
    std::vector<std::string> zipsInTarget() {
        std::vector<std::string> zips;
        for (const auto& entry : fs::directory_iterator(target))
            if (entry.path().extension() == ".zip")
                zips.push_back(entry.path().string());
        return zips;
    }
};

TEST_F(BackupRunDirectoriesTest, RunThatTakesEverythingStoresEveryDirectoryButExcludedOnes) {
    file("docs/x.txt", "x");
    file("bin/only.bin", "b");
    file("cache/skip.txt", "s");
    fs::create_directories(source + "/empty");
    profile.ExcludedDirs = source + "/cache";
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive()),
              (std::vector<std::string>{"bin/", "bin/only.bin", "docs/", "docs/x.txt", "empty/"}));
    // Counted and logged: files only.
    EXPECT_EQ(backup.lastOutcome().fileCount, 2u);
    EXPECT_EQ(ui.shown.back().text, "Záloha je dokončena, bylo zálohováno :2 souborů");
    const auto lines = logLines(program + "/P.log");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& l) { return l.starts_with(source + "/"); }),
              2);
}

TEST_F(BackupRunDirectoriesTest, MaskThatChoosesFilesStoresOnlyTheirDirectories) {
    file("docs/deep/x.txt", "x");
    file("bin/only.bin", "b");
    fs::create_directories(source + "/empty");
    profile.Masks = "*.txt";
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive()),
              (std::vector<std::string>{"docs/", "docs/deep/", "docs/deep/x.txt"}));
}

TEST_F(BackupRunDirectoriesTest, IncrementalRunStoresTheDirectoriesOfItsFilesWhateverTheirDates) {
    file("a/b/new.txt", "n", 0.5);
    file("a/old.txt", "o", 3);
    file("c/old.txt", "o", 3);
    ageDirectories({"a/b", "a", "c"}, 3);
    WriteLastRun(program, "P", clock.nowLocal() - 1);
    profile.BackupKind = 2;
    ASSERT_TRUE(run());
    const std::vector<std::string> zips = zipsInTarget();
    ASSERT_EQ(zips.size(), 1u);
    EXPECT_EQ(entries(zips[0]), (std::vector<std::string>{"a/", "a/b/", "a/b/new.txt"}));
    EXPECT_EQ(ui.shown.back().text, "Záloha je dokončena, bylo zálohováno :1 souborů");
}

TEST_F(BackupRunDirectoriesTest, UnchangedIncrementalRunKeepsThePreviousArchive) {
    file("sub/a.txt", "a", 1);
    file("sub/b.txt", "b", 1);
    profile.BackupKind = 2;
    ASSERT_EQ(backup.RunBackup(profile, 0), RunResult::Complete);
    ASSERT_EQ(zipsInTarget().size(), 1u);
    // A file removed changes its directory, not what there is to store.
    fs::remove(source + "/sub/b.txt");
    clock.advance(std::chrono::seconds(5));
    EXPECT_EQ(backup.RunBackup(profile, 0), RunResult::Incomplete);
    EXPECT_TRUE(backup.lastOutcome().keptPrevious);
    EXPECT_EQ(zipsInTarget().size(), 1u);
}

TEST_F(BackupRunDirectoriesTest, SourceOfEmptyDirectoriesKeepsThePreviousArchive) {
    file("a.txt", "a");
    profile.VersionsKept = 1;
    ASSERT_EQ(backup.RunBackup(profile, 0), RunResult::Complete);
    const std::string before = readWholeFile(archive("P1.zip"));
    fs::remove(source + "/a.txt");
    fs::create_directories(source + "/mnt/disk"); // mount points with nothing mounted
    EXPECT_EQ(backup.RunBackup(profile, 0), RunResult::Incomplete);
    EXPECT_TRUE(backup.lastOutcome().keptPrevious);
    EXPECT_EQ(readWholeFile(archive("P1.zip")), before);
    EXPECT_FALSE(fs::exists(archive("P2.zip")));
}

} // namespace
