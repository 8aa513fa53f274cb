#include "app/support/BackupRunFixture.h"

using namespace kd;
using namespace kd::test;

namespace {

class BackupRunTest : public BackupRunFixture {};

TEST_F(BackupRunTest, FullRunPassesTheOraclesAndLogsEveryFile) {
    file("a.txt", std::string(5000, 'a'));
    file("sub/b.txt", "bbb");
    file("sub/deep/c.bin", std::string(70000, '\x07'));
    settings.NoQuestions = false;
    ASSERT_TRUE(run());
    std::string output;
    EXPECT_EQ(runCommand("unzip -t -qq " + archive(), &output), 0) << output;
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"a.txt", "sub/", "sub/b.txt",
                                                            "sub/deep/", "sub/deep/c.bin"}));

    const auto lines = logLines(program + "/P.log");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], std::string(36, '-'));
    EXPECT_EQ(lines[1], run_log::headerLine("P", clock.nowLocal()));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& l) { return l.starts_with(source + "/"); }),
              3);
    EXPECT_EQ(protocol(), run_log::headerLine("P", clock.nowLocal()) + "\r\n");
    EXPECT_TRUE(stampExists());
    const LastRunStamp stamp = ReadLastRun(program, "P");
    EXPECT_NEAR(stamp.Date + stamp.Time, clock.nowLocal(), 1.0 / 86400);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Záloha je dokončena, bylo zálohováno :3 souborů");
    EXPECT_EQ(view.calls, (std::vector<std::string>{"busy", "ready"}));
    EXPECT_EQ(backup.lastOutcome().fileCount, 3u);
}

TEST_F(BackupRunTest, EncryptedArchiveOpensWithTheProfilesPassword) {
    file("secret.txt", "tajná data");
    profile.Password = encodeStoredPassword("Heslo1");
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive(), "Heslo1"), (std::vector<std::string>{"secret.txt"}));
    std::string output;
    EXPECT_EQ(runCommand("unzip -t -qq -P Heslo1 " + archive(), &output), 0) << output;
    EXPECT_NE(runCommand("unzip -t -qq -P wrong " + archive(), &output), 0);
}

TEST_F(BackupRunTest, AllMasksGoIntoOneArchive) {
    file("a.txt", "a");
    file("b.dat", "b");
    file("c.bin", "c");
    profile.Masks = "*.txt;;*.dat;";
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"a.txt", "b.dat"}));
}

// A run without a mask stores nothing, so it keeps every archive as a run that finds
// nothing does: no version dropped or moved, no stamp, both logs and a warning say so.
TEST_F(BackupRunTest, EmptyMaskListKeepsEveryArchive) {
    file("a.txt", "a");
    profile.VersionsKept = 2;
    ASSERT_EQ(backup.RunBackup(profile, 0), RunResult::Complete);
    clock.advance(std::chrono::hours(1));
    ASSERT_EQ(backup.RunBackup(profile, 0), RunResult::Complete);
    const std::string first = readWholeFile(archive("P1.zip"));
    const std::string second = readWholeFile(archive("P2.zip"));
    const std::string stamp = readWholeFile(lastRunStampPath(program, "P"));
    const std::string noMasks = "Profil nemá žádnou masku souborů, nebylo co zálohovat; "
                                "dosavadní zálohy zůstávají beze změny.";

    settings.NoQuestions = false;
    for (const char* masks : {"", ";;"}) {
        profile.Masks = masks;
        clock.advance(std::chrono::hours(1));
        ui.shown.clear();
        EXPECT_EQ(backup.RunBackup(profile, 0), RunResult::Incomplete) << masks;
        EXPECT_EQ(readWholeFile(archive("P1.zip")), first);
        EXPECT_EQ(readWholeFile(archive("P2.zip")), second);
        EXPECT_FALSE(std::filesystem::exists(archive("P3.zip")));
        EXPECT_EQ(readWholeFile(lastRunStampPath(program, "P")), stamp);
        EXPECT_TRUE(protocol().ends_with(noMasks + "\r\n"));
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, noMasks);
        EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    }

    // A new archive each run: the one there is stays.
    profile.VersionsKept = 0;
    profile.NewArchive = true;
    dir.write("dst/P.zip", "the only archive");
    EXPECT_EQ(backup.RunBackup(profile, 0), RunResult::Incomplete);
    EXPECT_EQ(readWholeFile(archive()), "the only archive");
}

TEST_F(BackupRunTest, ExcludedMasksAndDirectories) {
    file("keep.txt", "k");
    file("skip.bak", "s");
    file("a/inside.txt", "x");
    file("ab/sibling.txt", "y");
    file("A2/other.txt", "z");
    profile.ExcludedMasks = "*.bak";
    profile.ExcludedDirs = source + "/a;" + source + "/a2";
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"A2/", "A2/other.txt", "ab/",
                                                            "ab/sibling.txt", "keep.txt"}));
}

TEST_F(BackupRunTest, ByAgeTakesOnlyYoungFiles) {
    file("old.txt", "o", 10);
    file("new.txt", "n", 0.5);
    profile.BackupKind = 1;
    profile.AgeDays = 2;
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"new.txt"}));
}

TEST_F(BackupRunTest, SinceTheLastRunTakesChangedFilesUnderATimedName) {
    file("old.txt", "o", 3);
    file("new.txt", "n", 0.5);
    WriteLastRun(program, "P", clock.nowLocal() - 1);
    profile.BackupKind = 2;
    ASSERT_TRUE(run());
    const DateParts p = decodeDateTime(clock.nowLocal());
    const std::string name = "P_" + std::to_string(p.year) + "_" + std::to_string(p.month) + "_" +
                             std::to_string(p.day) + "_" + std::to_string(p.hour) + "_" +
                             std::to_string(p.minute) + "_" + std::to_string(p.second) + ".zip";
    EXPECT_EQ(entries(archive(name)), (std::vector<std::string>{"new.txt"}));
    // The stamp now holds this run's start, so nothing is taken again.
    clock.advance(std::chrono::seconds(5));
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().fileCount, 0u);
}

TEST_F(BackupRunTest, ArchiveAttributeTakesOnlyChangedFiles) {
    const std::string a = file("a.txt", "a");
    file("b.txt", "b");
    profile.ArchiveBitOnly = true;
    profile.ResetArchiveBit = true;
    profile.NewArchive = true;
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().fileCount, 2u);
    dir.write("src/a.txt", "changed");
    ASSERT_TRUE(run());
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"a.txt"}));
}

TEST_F(BackupRunTest, NumberedVersionsRotate) {
    file("a.txt", "a");
    profile.VersionsKept = 3;
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(run());
    EXPECT_TRUE(std::filesystem::exists(archive("P3.zip")));
    EXPECT_FALSE(std::filesystem::exists(archive("P4.zip")));
    EXPECT_EQ(backup.lastOutcome().archive, archive("P3.zip"));
    // The log starts anew with numbered versions.
    EXPECT_EQ(logLines(program + "/P.log").size(), 3u);

    std::filesystem::remove(archive("P2.zip")); // a gap
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().archive, archive("P3.zip"));
    EXPECT_FALSE(std::filesystem::exists(archive("P4.zip")));

    profile.VersionsKept = 1;
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().archive, archive("P3.zip")); // more than kept: all kept
}

TEST_F(BackupRunTest, ProtocolInTheLogDirectoryIsAppended) {
    file("a.txt", "a");
    const std::string logs = dir.file("logs");
    std::filesystem::create_directories(logs);
    dir.write("logs/Protokol.txt", "earlier\r\n");
    settings.LogDirectory = logs;
    ASSERT_TRUE(run());
    EXPECT_TRUE(readWholeFile(logs + "/Protokol.txt").starts_with("earlier\r\nZálohování"));
}

} // namespace
