// What a backup run leaves out and how it says so: files and directories it could
// not store, its own archives inside the source, and a source with nothing in it.
#include "app/support/BackupRunFixture.h"
#include "support/Unreadable.h"

#include <fstream>

using namespace kd;
using namespace kd::test;

namespace {

class BackupRunLeftOutTest : public BackupRunFixture {
protected:
    BackupRunLeftOutTest() {
        settings.NoQuestions = false; // the closing box shows
    }
    RunResult result() { return backup.RunBackup(profile, 0); }
    std::string profileLog() { return readWholeFile(program + "/P.log"); }
    bool inBothLogs(const std::string& line) {
        return protocol().find(line + "\r\n") != std::string::npos &&
               profileLog().find(line + "\r\n") != std::string::npos;
    }
    std::string box() { return ui.shown.empty() ? "" : ui.shown.back().text; }
    std::uintmax_t size(const std::string& path) { return std::filesystem::file_size(path); }
};

TEST_F(BackupRunLeftOutTest, AnUnreadableDirectoryIsLoggedCountedAndMakesTheRunIncomplete) {
    file("a.txt", "a");
    file("closed/secret.txt", "s");
    file("skipped/hidden.txt", "h");
    Unreadable closed(source + "/closed");
    Unreadable skipped(source + "/skipped");
    if (!closed.effective())
        GTEST_SKIP() << "permissions cannot be taken away here";
    profile.ExcludedDirs = source + "/skipped"; // not wanted, so not missed

    EXPECT_EQ(result(), RunResult::Incomplete);
    EXPECT_EQ(entries(archive()), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(backup.lastOutcome().leftOut, 1u);
    EXPECT_TRUE(inBothLogs("Adresář \"" + source +
                           "/closed/\" nelze přečíst, jeho obsah nebude zálohován "
                           "(přístup odepřen)"))
        << protocol();
    const std::string count = "Vynecháno souborů a adresářů (jsou uvedeny v protokolu): 1";
    EXPECT_TRUE(inBothLogs(count));
    EXPECT_EQ(box(), "Záloha je dokončena, bylo zálohováno :1 souborů\n\n" + count);
    EXPECT_EQ(protocol().find("hidden"), std::string::npos);

    // Without detailed information the box still tells.
    settings.DetailedInfo = false;
    ui.shown.clear();
    EXPECT_EQ(result(), RunResult::Incomplete);
    EXPECT_NE(box().find(count), std::string::npos);
}

TEST_F(BackupRunLeftOutTest, AFileThatKeepsChangingIsLoggedAsSuch) {
    file("a.txt", "a");
    const std::string moving = noise("moving.bin", 100000);
    writer.OnFilePercentDone = [&](TZipReader&, int) {
        std::ofstream(moving, std::ios::app) << "x";
    };

    EXPECT_EQ(result(), RunResult::Incomplete);
    EXPECT_EQ(entries(archive()), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(
        inBothLogs("Soubor \"" + moving + "\" se během čtení stále měnil, nebude zálohován"));
    EXPECT_EQ(protocol().find("nelze standartně otevřít"), std::string::npos);
}

TEST_F(BackupRunLeftOutTest, ATargetInsideTheSourceNeverStoresTheProfilesArchives) {
    file("a.txt", std::string(3000, 'a'));
    file("data.bin", "d");
    profile.TargetDir = source + "/backup/";
    profile.VersionsKept = 3;
    file("backup/P1.zip.notes", "the user's own file beside the archives");
    for (int run = 1; run <= 3; ++run)
        ASSERT_EQ(result(), RunResult::Complete) << protocol();
    const std::string first = source + "/backup/P1.zip";
    EXPECT_EQ(size(source + "/backup/P3.zip"), size(first));
    EXPECT_EQ(entries(source + "/backup/P3.zip"),
              (std::vector<std::string>{"a.txt", "backup/", "backup/P1.zip.notes", "data.bin"}));

    // The target the source itself, the archive updated in place or set aside.
    std::filesystem::remove_all(source + "/backup");
    profile.TargetDir = profile.SourceDir;
    profile.VersionsKept = 0;
    for (const bool newArchive : {false, true}) {
        profile.NewArchive = newArchive;
        ASSERT_EQ(result(), RunResult::Complete);
        ASSERT_EQ(result(), RunResult::Complete);
        EXPECT_EQ(entries(source + "/P.zip"), (std::vector<std::string>{"a.txt", "data.bin"}));
    }
}

TEST_F(BackupRunLeftOutTest, AnEmptySourceKeepsThePreviousArchiveAndItsVersions) {
    file("a.txt", "a");
    profile.VersionsKept = 1;
    ASSERT_EQ(result(), RunResult::Complete);
    const std::string before = readWholeFile(archive("P1.zip"));
    const LastRunStamp stamp = ReadLastRun(program, "P");

    std::filesystem::remove(source + "/a.txt"); // as an unmounted disk looks
    clock.advance(std::chrono::hours(1));
    ui.shown.clear();
    EXPECT_EQ(result(), RunResult::Incomplete);
    EXPECT_EQ(readWholeFile(archive("P1.zip")), before);
    EXPECT_FALSE(std::filesystem::exists(archive("P2.zip")));
    const std::string kept =
        "Ve zdroji nebylo nic k zálohování; dosavadní zálohy zůstávají beze změny.";
    EXPECT_TRUE(inBothLogs(kept));
    EXPECT_EQ(box(), kept); // no backup was made to call done
    const LastRunStamp after = ReadLastRun(program, "P");
    EXPECT_EQ(after.Date + after.Time, stamp.Date + stamp.Time); // nothing new was backed up

    // A profile that starts a new archive each time keeps the one it had.
    profile.VersionsKept = 0;
    profile.NewArchive = true;
    dir.write("dst/P.zip", "previous archive");
    EXPECT_EQ(result(), RunResult::Incomplete);
    EXPECT_EQ(readWholeFile(archive()), "previous archive");
}

TEST_F(BackupRunLeftOutTest, AnEmptySourceWithoutAnArchiveYetWritesNone) {
    for (const int versions : {0, 2}) {
        profile.VersionsKept = static_cast<std::uint8_t>(versions);
        EXPECT_EQ(result(), RunResult::Incomplete);
        EXPECT_TRUE(std::filesystem::is_empty(target)) << versions;
        EXPECT_FALSE(stampExists());
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_EQ(ui.shown.back().icon, MsgIcon::Warning);
    }
}

} // namespace
