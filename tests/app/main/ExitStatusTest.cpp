// The exit status 2 of the "a" and "o" switches with the real runs, for what is not a
// left-out file (those: BackupSwitchTest): a source with nothing in it, and a restore
// that does not write over the profile's own archives.
#include "app/support/RestoreFixture.h"

#include <gmock/gmock.h>

namespace kd::test {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

class ExitStatusTest : public RestoreFixture {
protected:
    // The profile "Data" of src/, keeping two versions in target (relative to dir).
    void saveProfile(const std::string& target = "target") {
        TObjektZal record;
        record.Name = "Data";
        record.Masks = "*";
        record.Recurse = true;
        record.SourceDir = dir.file("src") + "/";
        record.TargetDir = dir.file(target) + "/";
        record.VersionsKept = 2;
        SaveProfile(record, dir.path());
    }
    int runSwitch(const std::string& which) {
        create({which, "Data"});
        state.FormActivate();
        return state.ExitStatus;
    }
};

TEST_F(ExitStatusTest, AnEmptySourceBesideAnArchiveEndsWithTwo) {
    saveProfile();
    dir.write("target/Data1.zip", "the only good backup");
    fs::remove_all(dir.file("src"));
    fs::create_directories(dir.file("src"));
    EXPECT_EQ(runSwitch("a"), 2);
    EXPECT_EQ(read("target/Data1.zip"), "the only good backup");
}

// An archive written while the target lay inside the source holds the profile's
// archives: restoring them would put an old version over the real one and a stale
// file where the next rotation takes it for a version.
TEST_F(ExitStatusTest, ARestoreNeverWritesOverTheProfilesArchives) {
    dir.write("src/backup/Data1.zip", "an old archive");
    dir.write("src/backup/Data2.zip", "a stale version");
    dir.write("src/backup/Data1.zip.txt", "the user's own notes");
    ASSERT_EQ(0, runCommand("cd '" + dir.file("src") + "' && zip -qr ../all.zip . && rm " +
                            "backup/Data2.zip && mv ../all.zip backup/Data1.zip"));
    const std::string archive = read("src/backup/Data1.zip");
    fs::remove(dir.file("src/readme.txt"));
    fs::remove(dir.file("src/backup/Data1.zip.txt"));
    saveProfile("src/backup");

    EXPECT_EQ(runSwitch("o"), 2);
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
    EXPECT_THAT(ui.shown.back().text,
                HasSubstr(dir.file("src/backup/Data2.zip") +
                          ": archiv zálohy profilu se nepřepisuje"));
}

} // namespace
} // namespace kd::test
