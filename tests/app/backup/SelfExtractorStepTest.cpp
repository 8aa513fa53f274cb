// The backup run's self-extractor step: programs that extract the source tree,
// versions kept as programs, and backups that stay in their archive when no program
// can be built.
#include "app/support/BackupRunFixture.h"
#include "app/support/RestoreFixture.h"

#include <gmock/gmock.h>

using namespace kd;
using namespace kd::test;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

class SelfExtractorStepTest : public BackupRunFixture {
protected:
    SelfExtractorStepTest() {
        EXPECT_TRUE(fs::exists(kBuiltStub)) << "build the SfxStub target first";
        profile.SelfExtract = true;
        profile.Description = "Záloha dokumentů";
        file("a.txt", std::string(3000, 'a'));
        file("sub/deep/b.bin", std::string(40000, '\x05'));
        file("sub/c.txt", "c");
    }
    // Runs the program with the destination given; true when the tree it wrote is the source's.
    bool extractsTheSource(const std::string& exe, const std::string& into) {
        std::string out;
        EXPECT_EQ(runCommand("'" + exe + "' -y '" + into + "' < /dev/null", &out), 0) << out;
        return runCommand("diff -r '" + source + "' '" + into + "'", &out) == 0;
    }
};

TEST_F(SelfExtractorStepTest, ProgramTakesTheArchivesPlaceAndExtractsTheTree) {
    profile.VersionsKept = 2;
    ASSERT_TRUE(run());
    const std::string exe = archive("P1.exe");
    EXPECT_EQ(backup.lastOutcome().archive, exe);
    EXPECT_TRUE(backup.lastOutcome().warnings.empty());
    EXPECT_FALSE(fs::exists(archive("P1.zip")));
    std::string out;
    EXPECT_EQ(runCommand("unzip -tqq '" + exe + "'", &out), 0) << out;
    EXPECT_EQ(entries(exe), (std::vector<std::string>{"a.txt", "sub/", "sub/c.txt", "sub/deep/",
                                                      "sub/deep/b.bin"}));
    EXPECT_TRUE(extractsTheSource(exe, dir.file("out")));
    EXPECT_EQ(protocol().find("nebyl vytvořen"), std::string::npos);
}

TEST_F(SelfExtractorStepTest, ThreeVersionsOverFourRunsAreKeptAsPrograms) {
    profile.VersionsKept = 3;
    for (int run = 1; run <= 4; ++run) {
        file("run.txt", std::to_string(run));
        ASSERT_TRUE(this->run()) << run;
    }
    for (int k = 1; k <= 3; ++k) {
        const std::string exe = archive("P" + std::to_string(k) + ".exe");
        ASSERT_TRUE(fs::exists(exe)) << k;
        EXPECT_EQ(entryText(exe, "run.txt"), std::to_string(k + 1));
        EXPECT_FALSE(fs::exists(archive("P" + std::to_string(k) + ".zip")));
    }
    EXPECT_FALSE(fs::exists(archive("P4.exe")));
    EXPECT_FALSE(fs::exists(archive("P4.zip")));
    EXPECT_EQ(backup.lastOutcome().archive, archive("P3.exe"));
}

TEST_F(SelfExtractorStepTest, ArchiveUpdatedInPlaceKeepsTheFilesOfEarlierRuns) {
    // Only changed files are taken; the earlier ones live on in the program.
    profile.ArchiveBitOnly = true;
    profile.ResetArchiveBit = true;
    ASSERT_TRUE(run());
    file("sub/c.txt", "changed", -0.001); // newer than its entry
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().fileCount, 1u);
    EXPECT_FALSE(fs::exists(archive()));
    EXPECT_EQ(entries(archive("P.exe")), (std::vector<std::string>{"a.txt", "sub/", "sub/c.txt",
                                                                   "sub/deep/", "sub/deep/b.bin"}));
    EXPECT_EQ(entryText(archive("P.exe"), "sub/c.txt"), "changed");
    EXPECT_TRUE(extractsTheSource(archive("P.exe"), dir.file("out")));
}

TEST_F(SelfExtractorStepTest, MissingStubKeepsTheArchiveAndSaysSo) {
    stub = dir.file("prog/SfxStub.bin");
    settings.NoQuestions = false;
    settings.DetailedInfo = false;
    ASSERT_TRUE(run()) << "the backup itself is complete";
    EXPECT_EQ(backup.lastOutcome().archive, archive());
    EXPECT_FALSE(fs::exists(archive("P.exe")));
    EXPECT_EQ(entries(archive()).size(), 5u); // three files, two directories
    EXPECT_TRUE(stampExists());

    const std::string line = "Samorozbalovací archiv nebyl vytvořen: chybí soubor " + stub +
                             "; záloha zůstává v " + archive();
    EXPECT_EQ(backup.lastOutcome().warnings, std::vector<std::string>{line});
    EXPECT_THAT(protocol(), HasSubstr(line + "\r\n"));
    EXPECT_THAT(readWholeFile(program + "/P.log"), HasSubstr(line + "\r\n"));
    ASSERT_EQ(ui.shown.size(), 1u); // the closing box, shown for the warning
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    EXPECT_THAT(ui.shown[0].text, HasSubstr("bylo zálohováno :3 souborů\n\n" + line));
}

TEST_F(SelfExtractorStepTest, DamagedArchiveKeepsItselfAndTheEarlierProgram) {
    const std::string damaged = dir.write("dst/P.zip", "PK\x05\x06 not an archive");
    const std::string earlier = dir.write("dst/P.exe", "earlier program");
    const SelfExtractorResult result = SelfExtractorStep(stub)(profile, damaged);
    EXPECT_EQ(result.archive, damaged);
    EXPECT_THAT(result.problem, HasSubstr("nebyl vytvořen ("));
    EXPECT_EQ(readWholeFile(damaged), "PK\x05\x06 not an archive");
    EXPECT_EQ(readWholeFile(earlier), "earlier program");
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 2);
}

TEST_F(SelfExtractorStepTest, SplitArchiveSkipsTheProgram) {
    noise("noise.bin", 30000);
    profile.SplitMode = 1;
    profile.FirstPartSize = 20000;
    profile.NextPartSize = 20000;
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().archive, archive("P.002"));
    EXPECT_TRUE(fs::exists(archive("P.001")));
    EXPECT_FALSE(fs::exists(archive("P.exe")));
    ASSERT_EQ(backup.lastOutcome().warnings.size(), 1u);
    EXPECT_THAT(protocol(), HasSubstr("archiv rozdělený na části nelze převést na jeden program"));
}

// Through the main window's runs: the stub path given to them, and the restore that
// finds the newest version as a program.
using SelfExtractorRestoreTest = RestoreFixture;

TEST_F(SelfExtractorRestoreTest, RestoreReadsTheNewestProgram) {
    AppRuns sfxRuns{state, RunPlatform{volumes, network, attributes, kBuiltStub}};
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    addProfile("heslo", 2);
    create();
    TObjektZal& record = state.profiles.record(0);
    record.SelfExtract = true;
    for (int run = 1; run <= 3; ++run) {
        dir.write("src/run.txt", std::to_string(run));
        ASSERT_EQ(sfxRuns.RunBackup(record, 0), RunResult::Complete);
    }
    const auto newest = findNewestArchive(record);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->path, dir.file("target/Data2.exe"));
    EXPECT_FALSE(fs::exists(dir.file("target/Data2.zip")));
    ASSERT_EQ(0, runCommand("cp '" + dir.file("src/run.txt") + "' '" + dir.file("orig") + "'"));
    changeTree();
    EXPECT_EQ(sfxRuns.restore().RestoreBackup(0), RunResult::Complete);
    EXPECT_TRUE(treeRestored());
}

} // namespace
