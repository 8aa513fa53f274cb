#include "app/core/logs/RunLogs.h"
#include "app/support/RestoreFixture.h"
#include "platform/TextFile.h"

#include <gmock/gmock.h>

namespace kd::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

using RestoreRunTest = RestoreFixture;

TEST_F(RestoreRunTest, ChangedTreeGetsItsFilesAndDirectoriesBack) {
    backUp();
    addProfile();
    create();
    changeTree();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    EXPECT_TRUE(treeRestored());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Obnova je dokončena.\nObnoveno souborů: 4\n"
                                "Nepodařilo se obnovit: 0\nPonecháno stávajících souborů: 0");
    EXPECT_EQ(view.calls.back(), "ready");

    const std::string log = read("Data.log");
    EXPECT_THAT(log,
                HasSubstr(std::string(36, '-') + "\r\nObnova souborů :7.3.2024 v 10:00:00\r\n"));
    // A file that was gone comes back; only one that was there is said to be replaced.
    EXPECT_THAT(log, HasSubstr(run_log::padRight(dir.file("src/docs/deep/table.csv"), 40) +
                               "       obnoven ze zálohy\r\n"));
    EXPECT_THAT(log,
                Not(HasSubstr(run_log::extractedFileLine(dir.file("src/docs/deep/table.csv")))));
    EXPECT_THAT(log, HasSubstr(run_log::padRight(dir.file("src/readme.txt"), 40) +
                               "        soubor přepsán, pův.datum a čas : "));
    EXPECT_THAT(log, HasSubstr(run_log::padRight(dir.file("src/readme.txt"), 40) +
                               "       přepisován zálohou\r\n"));
    EXPECT_THAT(log, HasSubstr("Obnoveno souborů: 4\r\n")); // files, not directories
}

TEST_F(RestoreRunTest, EncryptedArchiveRestoresWithTheProfilesPassword) {
    backUp("-P 's3cret pw'");
    addProfile("s3cret pw");
    create();
    changeTree();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    EXPECT_TRUE(treeRestored());
}

TEST_F(RestoreRunTest, ArchivesOfOurWriterRestoreWithRelativeAndFullPaths) {
    for (const bool fullPath : {false, true}) {
        SCOPED_TRACE(fullPath);
        fs::remove(dir.file("target/Data1.zip"));
        backUpWithWriter(fullPath, "pw");
        if (state.profiles.count() == 0) {
            addProfile("pw");
            create();
        }
        changeTree();
        EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
        EXPECT_TRUE(treeRestored());
        EXPECT_FALSE(fs::exists(dir.file("src/tmp")));
    }
}

TEST_F(RestoreRunTest, BackupRunsArchivesRestoreTheStateOfTheLastRun) {
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    addProfile("pw", 2);
    create();
    for (int run = 1; run <= 3; ++run) {
        dir.write("src/run.txt", std::to_string(run));
        ASSERT_EQ(runs_.RunBackup(state.profiles.record(0), 0), RunResult::Complete);
    }
    EXPECT_EQ(findNewestArchive(state.profiles.record(0))->version, 2);
    ASSERT_EQ(0, runCommand("cp '" + dir.file("src/run.txt") + "' '" + dir.file("orig") + "'"));
    changeTree();
    dir.write("src/run.txt", "changed");
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    EXPECT_TRUE(treeRestored());
    EXPECT_EQ(read("src/run.txt"), "3");
}

TEST_F(RestoreRunTest, WrongPasswordIsLoggedCountedAndReported) {
    backUp("-P right");
    addProfile("wrong");
    create();
    changeTree();
    // Every file failed: the restore restored nothing, so it failed.
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Failed);
    EXPECT_EQ(read("src/readme.txt"), "edited after the backup\n"); // left alone
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_THAT(ui.shown[0].text, HasSubstr("Nepodařilo se obnovit: 4"));
    EXPECT_THAT(ui.shown[0].text, HasSubstr("docs/letter.txt"));
    const std::string log = read("Data.log");
    EXPECT_THAT(log,
                HasSubstr(run_log::padRight("docs/letter.txt", 40) + "       nelze obnovit: "));
    EXPECT_THAT(log, HasSubstr("Nepodařilo se obnovit: 4\r\n"));
}

TEST_F(RestoreRunTest, NoQuestionsLeavesTheReportToTheLog) {
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    backUp("-P right");
    addProfile();
    create();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Failed);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_THAT(read("Data.log"), HasSubstr("nelze obnovit"));
}

TEST_F(RestoreRunTest, DamagedEntryIsReportedAndTheOthersRestore) {
    // A stored entry whose data is altered in the archive fails its CRC check.
    backUp("-0");
    std::string zip = read("target/Data1.zip");
    zip[zip.find(std::string(4000, 'l')) + 100] = 'm';
    dir.write("target/Data1.zip", zip);
    addProfile();
    create();
    std::filesystem::remove(dir.file("src/docs/letter.txt"));
    changeTree();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Incomplete);
    EXPECT_FALSE(std::filesystem::exists(dir.file("src/docs/letter.txt")));
    EXPECT_EQ(read("src/readme.txt"), "read me\n");
    EXPECT_EQ(read("src/docs/deep/table.csv"), "1;2\n3;4\n");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_THAT(ui.shown[0].text, HasSubstr("Obnoveno souborů: 3\nNepodařilo se obnovit: 1\n"
                                            "Ponecháno stávajících souborů: 0\n"
                                            "docs/letter.txt: "));
}

TEST_F(RestoreRunTest, PartSetRestoresFromItsLastPart) {
    // Info-ZIP's split parts Data1.z01, Data1.z02, Data1.zip, named as our part files.
    dir.write("src/noise.bin", [] {
        std::string bytes;
        for (unsigned x = 1; bytes.size() < 150000; x = x * 1103515245u + 12345u)
            bytes += static_cast<char>(x >> 23);
        return bytes;
    }());
    ASSERT_EQ(0, runCommand("cp '" + dir.file("src/noise.bin") + "' '" + dir.file("orig") + "'"));
    backUp("-s 64k");
    for (const auto& [from, to] : {std::pair{"z01", "001"}, {"z02", "002"}, {"zip", "003"}})
        fs::rename(dir.file(std::string("target/Data1.") + from),
                   dir.file(std::string("target/Data1.") + to));
    addProfile();
    create();
    changeTree();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    EXPECT_EQ(engine.GetMultiMode(), TMultiMode::mmBlocks);
    EXPECT_TRUE(treeRestored());
}

TEST_F(RestoreRunTest, MissingArchiveSaysSoAndWritesNoLog) {
    addProfile();
    create();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Failed);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Záloha neexistuje");
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Data.log")));
    EXPECT_EQ(view.calls.back(), "ready");
}

TEST_F(RestoreRunTest, ProfileWithoutSourceDirectoryRestoresNothing) {
    backUp();
    addProfile();
    create();
    state.profiles.record(0).SourceDir.clear();
    EXPECT_THROW(restore.RestoreBackup(0), Exception);
    EXPECT_FALSE(std::filesystem::exists(dir.file("readme.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Data.log")));
    EXPECT_EQ(view.calls.back(), "ready");
}

TEST_F(RestoreRunTest, EmptyArchiveSaysNothingWasRestored) {
    ASSERT_EQ(0, runCommand("python3 -c \"import zipfile; zipfile.ZipFile('" +
                            dir.file("target/Data1.zip") + "', 'w').close()\""));
    addProfile();
    create();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Failed);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Ze zálohy nebyl obnoven žádný soubor.\nObnoveno souborů: 0\n"
                                "Nepodařilo se obnovit: 0\nPonecháno stávajících souborů: 0");
}

TEST_F(RestoreRunTest, LogIsAppendedToAndLeftOutWithoutDetails) {
    backUp();
    dir.write("Data.log", "older run\r\n");
    dir.write("Nastaven.txt", "INFO_ZIP=NE\r\n");
    addProfile();
    create();
    ASSERT_FALSE(state.settings.DetailedInfo);
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    const std::string log = read("Data.log");
    EXPECT_EQ(log.rfind("older run\r\n", 0), 0u);
    EXPECT_THAT(log, Not(HasSubstr("přepisován zálohou")));
    EXPECT_THAT(log, HasSubstr("Obnoveno souborů: 4"));
}

TEST_F(RestoreRunTest, OpenProfileArchiveTakesTheNewestVersion) {
    backUp("", "Data1.zip");
    backUp("", "Data2.zip");
    addProfile("", 3);
    create();
    const auto opened = restore.OpenProfileArchive(0);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->profileName, "Data");
    EXPECT_EQ(opened->archive.version, 2);
    EXPECT_EQ(engine.ZipName(), dir.file("target/Data2.zip"));
    EXPECT_EQ(engine.DestDir(), dir.file("src"));
    EXPECT_EQ(engine.GetEntryCount(), 6);
}

TEST_F(RestoreRunTest, RestoreSwitchRestoresTheNamedProfileAndEndsTheProgram) {
    backUp();
    addProfile();
    changeTree();
    create({"O", "DATA"});
    state.FormActivate();
    EXPECT_TRUE(treeRestored());
    EXPECT_TRUE(state.TerminateRequested);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_THAT(ui.shown[0].text, HasSubstr("Obnova je dokončena.\nObnoveno souborů: 4\n"));
}

// An archive written while the target lay inside the source holds the profile's
// archives: restoring them would put an old version over the real one and a stale
// file where the next rotation takes it for a version.
TEST_F(RestoreRunTest, NeverWritesOverTheProfilesArchives) {
    dir.write("src/backup/Data1.zip", "an old archive");
    dir.write("src/backup/Data2.zip", "a stale version");
    dir.write("src/backup/Data1.zip.txt", "the user's own notes");
    ASSERT_EQ(0, runCommand("cd '" + dir.file("src") + "' && zip -qr ../all.zip . && rm " +
                            "backup/Data2.zip && mv ../all.zip backup/Data1.zip"));
    const std::string archive = read("src/backup/Data1.zip");
    fs::remove(dir.file("src/readme.txt"));
    fs::remove(dir.file("src/backup/Data1.zip.txt"));
    TObjektZal record;
    record.Name = "Data";
    record.Masks = "*";
    record.SourceDir = dir.file("src") + "/";
    record.TargetDir = dir.file("src/backup") + "/";
    record.VersionsKept = 2;
    SaveProfile(record, dir.path());
    state.loadProfiles();
    create();

    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Incomplete);
    EXPECT_EQ(read("src/backup/Data1.zip"), archive);
    EXPECT_FALSE(fs::exists(dir.file("src/backup/Data2.zip")));
    EXPECT_EQ(read("src/readme.txt"), "read me\n");
    EXPECT_EQ(read("src/backup/Data1.zip.txt"), "the user's own notes");
    const std::string log = read("Data.log");
    for (const std::string name : {"Data1.zip", "Data2.zip"})
        EXPECT_THAT(log, HasSubstr(run_log::padRight(dir.file("src/backup/" + name), 40) +
                                   "       nelze obnovit: archiv zálohy profilu se "
                                   "nepřepisuje\r\n"));
    EXPECT_THAT(log, HasSubstr("Nepodařilo se obnovit: 2\r\n"));
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_THAT(ui.shown.back().text, HasSubstr(dir.file("src/backup/Data2.zip") +
                                                ": archiv zálohy profilu se nepřepisuje"));
}
} // namespace
} // namespace kd::test

namespace kd::test {
namespace {

// The cancel button pressed while the first entry is extracted.
void cancelAtFirstEntry(TZipWriter& engine) {
    auto bound = engine.OnStartUnZip;
    engine.OnStartUnZip = [&engine, bound](TZipReader& sender, int index, std::string& name,
                                           bool& skip) {
        engine.CancelRunningOperation();
        bound(sender, index, name, skip);
    };
}

TEST_F(RestoreRunTest, CancelledRestoreSaysSoInTheProgramsLanguage) {
    backUp();
    addProfile();
    create();
    cancelAtFirstEntry(engine);
    try {
        restore.RestoreBackup(0);
        FAIL() << "not cancelled";
    } catch (const SilentAbort& e) {
        EXPECT_STREQ(e.what(), "Obnova byla přerušena uživatelem.");
    }
    const std::vector<std::string> log = readTextLines(dir.file("Data.log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Obnova byla přerušena uživatelem.");
    EXPECT_EQ(view.calls.back(), "ready");

    // In English, and through the "o" switch, whose box shows the same text.
    dir.write("Nastaven.txt", "LANGUAGE=EN\r\n");
    create({"o", "Data"});
    cancelAtFirstEntry(engine);
    state.FormActivate();
    EXPECT_EQ(state.ExitStatus, 1);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text, "The restore was cancelled by the user.");
    EXPECT_EQ(readTextLines(dir.file("Data.log")).back(), "The restore was cancelled by the user.");
}

} // namespace
} // namespace kd::test
