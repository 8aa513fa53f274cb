#include "app/support/BackupRunFixture.h"
#include "platform/Exception.h"

#include <functional>

using namespace kd;
using namespace kd::test;

namespace {

class BackupRunFailureTest : public BackupRunFixture {
protected:
    // The run failed: no stamp, and both logs end with the unfinished line.
    void expectFailedWithoutStamp() {
        EXPECT_FALSE(backup.lastOutcome().succeeded);
        EXPECT_FALSE(stampExists());
        EXPECT_TRUE(protocol().ends_with("Zálohování nedokončeno..\r\n")) << protocol();
        EXPECT_EQ(view.calls.back(), "ready");
    }
};

TEST_F(BackupRunFailureTest, MissingSourceEndsTheRunAndKeepsTheVersions) {
    profile.SourceDir = dir.file("nothing/");
    profile.VersionsKept = 1;
    dir.write("dst/P1.zip", "old");
    EXPECT_FALSE(run());
    expectFailedWithoutStamp();
    EXPECT_NE(
        protocol().find("Adresář :" + dir.file("nothing") + " neexistuje, záloha nebude vytvořena"),
        std::string::npos);
    EXPECT_EQ(readWholeFile(archive("P1.zip")), "old");
    EXPECT_TRUE(ui.shown.empty()); // no questions: only the log

    // Asked, and No ends the run the same way.
    settings.NoQuestions = false;
    EXPECT_FALSE(run());
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown[0].caption, "Dotaz");
    EXPECT_EQ(ui.shown[0].text,
              "Adresář :" + dir.file("nothing") + " neexistuje, chcete pokračovat ?");
    EXPECT_EQ(readWholeFile(archive("P1.zip")), "old");
}

TEST_F(BackupRunFailureTest, MissingSourceAnsweredYesGoesOnWithoutLosingAVersion) {
    profile.SourceDir = dir.file("nothing/");
    profile.VersionsKept = 1;
    dir.write("dst/P1.zip", "old");
    settings.NoQuestions = false;
    ui.answerNext(MsgAnswer::Yes);
    ui.answerNext(MsgAnswer::Ok);
    EXPECT_TRUE(run());
    EXPECT_TRUE(backup.lastOutcome().keptPrevious);
    EXPECT_EQ(readWholeFile(archive("P1.zip")), "old");

    // Nor is an empty version written where there is none, nor an archive updated in
    // place taken for a backup: the run warns and counts as incomplete, with no stamp.
    const std::string gone = "Adresář :" + dir.file("nothing") +
                             " neexistuje, záloha nebude vytvořena\n\nVe zdroji nebylo nic k "
                             "zálohování; dosavadní zálohy zůstávají beze změny.";
    for (const bool update : {false, true}) {
        std::filesystem::remove_all(target);
        std::filesystem::create_directories(target);
        profile.VersionsKept = update ? 0 : 2;
        if (update) {
            ASSERT_EQ(0, runCommand("cd '" + dir.path() + "' && echo x > x.txt && zip -q " +
                                    archive() + " x.txt"));
        }
        const std::string before = update ? readWholeFile(archive()) : "";
        ui.shown.clear();
        ui.answerNext(MsgAnswer::Yes);
        EXPECT_EQ(backup.RunBackup(profile, 0), RunResult::Incomplete) << update;
        EXPECT_EQ(update ? readWholeFile(archive()) : "", before);
        EXPECT_FALSE(std::filesystem::exists(archive("P1.zip")));
        EXPECT_FALSE(stampExists());
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_EQ(ui.shown[1].text, gone);
        EXPECT_EQ(ui.shown[1].icon, MsgIcon::Warning);
    }

    // A mask with a path of its own still finds its files.
    dir.write("other/b.txt", "b");
    profile.VersionsKept = 0;
    profile.Masks = ">" + dir.file("other") + "/*.*";
    ui.answerNext(MsgAnswer::Yes);
    ui.answerNext(MsgAnswer::Ok);
    EXPECT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().fileCount, 1u);
    EXPECT_TRUE(std::filesystem::exists(archive()));
}

TEST_F(BackupRunFailureTest, MissingTargetIsCreatedOrRefused) {
    file("a.txt", "a");
    std::filesystem::remove(target);
    settings.NoQuestions = false;
    ui.answerNext(MsgAnswer::No);
    EXPECT_FALSE(run());
    expectFailedWithoutStamp();
    EXPECT_FALSE(std::filesystem::exists(target));

    ui.answerNext(MsgAnswer::Yes);
    EXPECT_TRUE(run());
    EXPECT_TRUE(std::filesystem::exists(archive()));
}

TEST_F(BackupRunFailureTest, TargetThatCannotBeCreatedIsReported) {
    file("a.txt", "a");
    profile.TargetDir = dir.file("no/such/levels/");
    EXPECT_FALSE(run());
    expectFailedWithoutStamp();
    EXPECT_NE(protocol().find("nelze vytvořit"), std::string::npos);
}

TEST_F(BackupRunFailureTest, MissingShareIsReportedWithoutMounting) {
    file("a.txt", "a");
    profile.TargetDir = dir.file("share/");
    profile.NetUser = "jan";
    profile.NetPassword = "pw";
    settings.NoQuestions = false;
    EXPECT_FALSE(run());
    expectFailedWithoutStamp();
    EXPECT_EQ(network.calls, (std::vector<std::string>{dir.file("share") + " jan pw"}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Chyba");

    network.appears = true;
    ui.answerNext(MsgAnswer::Ok);
    EXPECT_TRUE(run());
}

// Each early end, with questions and without detailed information: the question, then
// one closing box that says why and that the backup is unfinished.
TEST_F(BackupRunFailureTest, EarlyEndShowsTheClosingBoxWithTheReason) {
    file("a.txt", "a");
    settings.NoQuestions = false;
    settings.DetailedInfo = false;
    struct Case {
        std::function<void()> arrange;
        std::string reason;
        std::size_t questions;
        MsgAnswer answer = MsgAnswer::No;
    };
    const std::vector<Case> cases = {
        {[&] { profile.SourceDir = dir.file("gone/"); },
         "Adresář :" + dir.file("gone") + " neexistuje, záloha nebude vytvořena", 1},
        {[&] { profile.TargetDir = dir.file("new/"); },
         "Adresář :" + dir.file("new") + " neexistuje, záloha nebude vytvořena", 1},
        {[&] { profile.TargetDir = dir.file("no/such/"); },
         "Adresář :" + dir.file("no/such") + " nelze vytvořit, záloha nebude provedena ", 1,
         MsgAnswer::Yes}, // created one level only, so it fails
        {[&] {
             profile.TargetDir = dir.file("share/");
             profile.NetUser = "jan";
         },
         "Adresář :" + dir.file("share") + " neexistuje, záloha nebude vytvořena", 0},
    };
    for (const Case& c : cases) {
        profile.SourceDir = source + "/";
        profile.TargetDir = target + "/";
        profile.NetUser.clear();
        c.arrange();
        ui.shown.clear();
        ui.answerNext(c.answer);
        EXPECT_EQ(backup.RunBackup(profile, 0), RunResult::Failed) << c.reason;
        ASSERT_EQ(ui.shown.size(), c.questions + 1) << c.reason;
        const auto& box = ui.shown.back();
        EXPECT_EQ(box.caption, "Chyba");
        // Never the "done" line of a backup that was made.
        EXPECT_EQ(box.text, c.reason + "\n\nZálohování nedokončeno..");
        EXPECT_EQ(view.calls.back(), "ready");
    }
}

TEST_F(BackupRunFailureTest, CancelledRunKeepsThePreviousArchiveAndWritesNoStamp) {
    file("a.txt", std::string(200000, 'a'));
    profile.NewArchive = true;
    dir.write("dst/P.zip", "previous archive");
    ui.writer = &writer;
    EXPECT_THROW(run(), SilentAbort);
    expectFailedWithoutStamp();
    EXPECT_EQ(readWholeFile(archive()), "previous archive");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(BackupRunFailureTest, CancelledRunSaysSoInTheChosenLanguage) {
    file("a.txt", std::string(200000, 'a'));
    ui.writer = &writer;
    LanguageCode = "EN";
    std::string message;
    try {
        run();
    } catch (const SilentAbort& e) {
        message = e.what();
    }
    LanguageCode = "CZ";
    EXPECT_EQ(message, "The backup was cancelled by the user.");
    const std::vector<std::string> protocolLines = logLines(program + "/Protokol.txt");
    const std::vector<std::string> profileLines = logLines(program + "/P.log");
    for (const auto* lines : {&protocolLines, &profileLines}) {
        ASSERT_GE(lines->size(), 2u);
        EXPECT_EQ((*lines)[lines->size() - 2], "The backup was cancelled by the user.");
        EXPECT_EQ(lines->back(), "Zálohování nedokončeno..");
    }
    EXPECT_EQ(protocol().find("Abort"), std::string::npos) << protocol();
}

TEST_F(BackupRunFailureTest, NewArchiveReplacesThePreviousOneAfterSuccess) {
    file("a.txt", "a");
    profile.NewArchive = true;
    dir.write("dst/P.zip", "previous archive");
    EXPECT_TRUE(run());
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target),
                            std::filesystem::directory_iterator()),
              1);
}

// A run killed while it wrote left the previous archive in its hidden copy (and an
// older run an older copy): the next run puts the newest back before it starts, so
// a failure of that run still leaves the last good backup under its own name.
TEST_F(BackupRunFailureTest, ACopyLeftByAKilledRunIsPutBack) {
    file("a.txt", std::string(200000, 'a'));
    profile.NewArchive = true;
    dir.write("dst/.P.zip.aaaaaa", "older copy");
    dir.write("dst/.P.zip.bbbbbb", "last good archive");
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(target + "/.P.zip.aaaaaa", now - std::chrono::hours(48));
    std::filesystem::last_write_time(target + "/.P.zip.bbbbbb", now - std::chrono::hours(24));
    ui.writer = &writer;
    EXPECT_THROW(run(), SilentAbort);
    EXPECT_EQ(readWholeFile(archive()), "last good archive");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target),
                            std::filesystem::directory_iterator()),
              1);

    // With the archive in place, a copy is only a leftover.
    dir.write("dst/.P.zip.cccccc", "stale");
    ui.writer = nullptr;
    EXPECT_TRUE(run());
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"a.txt"}));
    EXPECT_FALSE(std::filesystem::exists(target + "/.P.zip.cccccc"));
}

TEST_F(BackupRunFailureTest, WipeDeletesTheFilesOfARemovableTarget) {
    file("a.txt", "a");
    volumes.addVolume(target, true);
    dir.write("dst/old/x.zip", "x");
    dir.write("dst/y.txt", "y");
    profile.WipeDisk = true;
    EXPECT_TRUE(run());
    EXPECT_FALSE(std::filesystem::exists(target + "/old/x.zip"));
    EXPECT_TRUE(std::filesystem::is_directory(target + "/old"));
    EXPECT_FALSE(std::filesystem::exists(target + "/y.txt"));
    EXPECT_EQ(entries(archive()), (std::vector<std::string>{"a.txt"}));
}

TEST_F(BackupRunFailureTest, WipeRefusesAMediumHoldingTheSourceOrTheProgram) {
    file("a.txt", "a");
    profile.WipeDisk = true;
    volumes.addVolume(dir.path(), true); // holds source, target and program
    dir.write("dst/keep.txt", "k");
    EXPECT_TRUE(run());
    EXPECT_TRUE(std::filesystem::exists(target + "/keep.txt"));
    EXPECT_NE(protocol().find(wipeRefusedText("CZ") + dir.path()), std::string::npos);
}

TEST_F(BackupRunFailureTest, WipeOfAFixedDiskIsReportedAndTheRunGoesOn) {
    file("a.txt", "a");
    profile.WipeDisk = true;
    volumes.addVolume(target, false);
    dir.write("dst/keep.txt", "k");
    settings.NoQuestions = false;
    EXPECT_TRUE(run());
    EXPECT_TRUE(std::filesystem::exists(target + "/keep.txt"));
    ASSERT_GE(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.substr(0, 15), "Označený disk");
}

TEST_F(BackupRunFailureTest, MissingLogDirectoryIsReportedAndTheRunGoesOn) {
    file("a.txt", "a");
    settings.NoQuestions = false;
    settings.LogDirectory = dir.file("nologs");
    EXPECT_TRUE(run());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "Adresář pro uložení logu (" + dir.file("nologs") +
                                    ") neexistuje, opravte prosím nastavení");
    EXPECT_TRUE(stampExists());
}

} // namespace
