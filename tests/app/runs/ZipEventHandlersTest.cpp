#include "app/core/runs/ZipEventHandlers.h"
#include "lang/TResourceStrings.h"
#include "platform/ArchiveAttributeStore.h"
#include "platform/AtomicFile.h"
#include "platform/FakeVolumeService.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"
#include "zip/writer/TZipWriter.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

using namespace kd;
using namespace kd::test;

namespace {

// Records the progress the handlers show.
class ProgressView : public MainWindowView {
public:
    void showProfilePage() override {}
    bool profilePageActive() const override { return true; }
    void focusProfileList() override {}
    void ShowBusy() override {}
    void ShowReady() override {}
    bool readyForWork() const override { return true; }
    void startTimers() override {}
    void setTimerInterval(std::chrono::milliseconds) override {}
    void minimizeApplication() override {}
    void terminateApplication() override {}
    void showStatusText(const std::string& text) override { status.push_back(text); }
    void showTrayHint(const std::string& text) override { hints.push_back(text); }

    std::vector<std::string> status, hints;
};

TDateTime day(int d) {
    return encodeDate(2024, 3, d);
}

TEST(SkipByProfile, YoungerThanNDays) {
    TObjektZal profile;
    profile.BackupKind = 1;
    profile.AgeDays = 2;
    const TDateTime now = day(10) + 0.5;
    EXPECT_FALSE(skipByProfile(profile, "/d/f", day(9), now, 0));
    EXPECT_TRUE(skipByProfile(profile, "/d/f", now - 2, now, 0)); // exactly N days: too old
    EXPECT_TRUE(skipByProfile(profile, "/d/f", std::nullopt, now, 0));
    profile.AgeDays = 0; // everything dated before now goes
    EXPECT_TRUE(skipByProfile(profile, "/d/f", now - 0.0001, now, 0));
}

TEST(SkipByProfile, ChangedSinceTheLastRun) {
    TObjektZal profile;
    profile.BackupKind = 2;
    const TDateTime last = day(5) + 0.25;
    EXPECT_TRUE(skipByProfile(profile, "/d/f", last, day(10), last));
    EXPECT_FALSE(skipByProfile(profile, "/d/f", last + 1e-7, day(10), last));
    EXPECT_TRUE(skipByProfile(profile, "/d/f", std::nullopt, day(10), last));
    EXPECT_FALSE(skipByProfile(profile, "/d/f", day(1), day(10), 0)); // never ran
}

TEST(SkipByProfile, ExcludedDirectoriesMatchWholeNamesAndCase) {
    TObjektZal profile;
    profile.ExcludedDirs = ";/data/a;/data/c/";
    EXPECT_TRUE(skipByProfile(profile, "/data/a/x.txt", day(1), day(2), 0));
    EXPECT_TRUE(skipByProfile(profile, "/data/a/sub/x.txt", day(1), day(2), 0));
    EXPECT_TRUE(skipByProfile(profile, "/data/c/x.txt", day(1), day(2), 0));
    EXPECT_FALSE(skipByProfile(profile, "/data/ab/x.txt", day(1), day(2), 0));
    EXPECT_FALSE(skipByProfile(profile, "/data/A/x.txt", day(1), day(2), 0));
    EXPECT_FALSE(skipByProfile(profile, "/data/x.txt", day(1), day(2), 0));
}

class ZipEventHandlersTest : public ::testing::Test {
protected:
    ZipEventHandlersTest() { ResourceStrings.LoadLanguage("CZ"); }

    TempDir dir;
    RunState state;
    ProgressView view;
    ScriptedUiHost ui;
    ZipEventHandlers handlers{state, view, ui};
};

TEST_F(ZipEventHandlersTest, ProgressNeverGoesBack) {
    for (int percent : {10, 5, 20})
        handlers.ZipEngineTotalPercentDone(percent, "/t/P.zip");
    EXPECT_EQ(view.status, (std::vector<std::string>{"Dokončeno :10% zálohy :/t/P.zip",
                                                     "Dokončeno :20% zálohy :/t/P.zip"}));
    EXPECT_EQ(view.hints, view.status);
}

TEST_F(ZipEventHandlersTest, LogLinesGoToTheirLogs) {
    state.logs.ProtocolFile.open(dir.file("Protokol.txt"), false);
    state.logs.ProfileLogFile.open(dir.file("P.log"), false);
    const std::string file = dir.write("a.txt", "hello");
    handlers.ZipEngineEndZip(file, 5, 7, fileModified(file));
    TObjektZal profile;
    state.CurrentProfile = &profile;
    bool retry = true;
    handlers.ZipEngineSkippingFile(TSkipReason::srOpenFailed, "/locked", "", retry);
    EXPECT_FALSE(retry);
    EXPECT_EQ(state.LeftOut, 1u);
    handlers.ZipEngineSkippingFile(TSkipReason::srFileExists, "/twice", "", retry);
    TIncompleteZipMode mode = TIncompleteZipMode::izAssumeMulti;
    handlers.ZipEngineInCompleteZip(mode);
    EXPECT_EQ(mode, TIncompleteZipMode::izAssumeBad);
    state.logs.closeAll();

    const std::string profileLog = readWholeFile(dir.file("P.log"));
    EXPECT_EQ(profileLog.find(run_log::padRight(file, 40) + std::string(17, ' ') + "5" +
                              std::string(12, ' ') + "7  "),
              0u);
    EXPECT_NE(profileLog.find("Zálohování nedokončeno..\r\n"), std::string::npos);
    EXPECT_EQ(readWholeFile(dir.file("Protokol.txt")),
              run_log::fileNotOpenedLine("/locked") + "\r\nZálohování nedokončeno..\r\n");
    EXPECT_NE(profileLog.find(run_log::fileNotOpenedLine("/locked")), std::string::npos);
}

TEST_F(ZipEventHandlersTest, NextDiskNamesThePartAndMayCancel) {
    EXPECT_EQ(nextDiskName("/t/P.zip", 12), "/t/P.012");
    EXPECT_EQ(nextDiskName("/t.d/P", 2), "/t.d/P.002");

    TZipWriter writer;
    std::string name = "/t/P.zip";
    handlers.ZipEngineGetNextDisk(writer, 2, name); // part files: no question
    EXPECT_EQ(name, "/t/P.002");
    EXPECT_TRUE(ui.shown.empty());
    writer.SetMultiMode(TMultiMode::mmSpan);
    ui.answerNext(MsgAnswer::No);
    handlers.ZipEngineGetNextDisk(writer, 3, name);
    EXPECT_EQ(name, "/t/P.003");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Vlož prázdnou disketu");
}

} // namespace

namespace {

void setModified(const std::string& path, std::time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

} // namespace

// The writer hands the handlers the time it saw on the open file: a backup of files
// changed since the last run tells apart changes within one second of it.
TEST_F(ZipEventHandlersTest, ChangedSinceTheLastRunToFractionsOfASecond) {
    const std::time_t second = 1'700'000'000;
    setModified(dir.write("tree/before.txt", "b"), second, 200'000'000);
    setModified(dir.write("tree/after.txt", "a"), second, 800'000'000);
    TObjektZal profile;
    profile.BackupKind = 2;
    state.CurrentProfile = &profile;
    state.LastRun = toDateTime(second) + 0.5 / 86400;
    state.RunStarted = state.LastRun + 1;

    FakeVolumeService volumes;
    ArchiveAttributeStore attributes(dir.file("state/archived.idx"));
    TZipWriter zip(ui, volumes, attributes);
    handlers.bind(zip);
    zip.SetRootDir(dir.file("tree"));
    zip.SetRelativePaths(true);
    zip.SetZipName(dir.file("out.zip"));
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 1);
    EXPECT_EQ(zip.GetEntryFileName(0), "after.txt");
    EXPECT_FALSE(zip.SourceModified()); // nothing outside the file's events
}

namespace {

TEST_F(ZipEventHandlersTest, EachExtractionLooksAtItsTargetsAfresh) {
    state.logs.ProfileLogFile.open(dir.file("P.log"), false);
    FakeVolumeService volumes;
    ArchiveAttributeStore attributes(dir.file("state/archived.idx"));
    TZipWriter zip(ui, volumes, attributes);
    handlers.bind(zip);
    const auto extractOne = [&](const std::string& target) {
        bool stop = false, skip = false;
        zip.OnStartUnZipInfo(zip, 1, 1, stop);
        std::string name = target;
        zip.OnStartUnZip(zip, 0, name, skip);
        zip.OnEndUnZip(zip, 0, target);
    };
    const std::string target = dir.file("out/a.txt");
    setModified(dir.write("out/a.txt", "old"), 1'600'000'000, 0);
    extractOne(target);
    // The directory moves away between two runs; another takes its place.
    std::filesystem::rename(dir.file("out"), dir.file("moved"));
    setModified(dir.write("out/a.txt", "new"), 1'700'000'000, 0);
    extractOne(target);
    state.logs.closeAll();
    const std::string log = readWholeFile(dir.file("P.log"));
    EXPECT_NE(log.find(run_log::overwrittenFileLine(target, toDateTime(1'600'000'000))),
              std::string::npos);
    EXPECT_NE(log.find(run_log::overwrittenFileLine(target, toDateTime(1'700'000'000))),
              std::string::npos);
}

// What one extraction has written is never written again by it: not under the same
// name, nor under a second name of the same file (as "A.TXT" is of "a.txt" on a disk
// that ignores letter case); the next extraction starts afresh.
TEST_F(ZipEventHandlersTest, AnExtractionNeverWritesOverAFileItWrote) {
    FakeVolumeService volumes;
    ArchiveAttributeStore attributes(dir.file("state/archived.idx"));
    TZipWriter zip(ui, volumes, attributes);
    handlers.bind(zip);
    bool stop = false;
    const auto written = [&](int index, std::string target) {
        bool skip = false;
        zip.OnStartUnZip(zip, index, target, skip);
        if (!skip)
            zip.OnEndUnZip(zip, index, dir.write("out/a.txt", "entry " + std::to_string(index)));
        return !skip;
    };
    const std::string first = dir.file("out/a.txt");
    const std::string alias = dir.file("out/A.TXT");
    zip.OnStartUnZipInfo(zip, 3, 3, stop);
    EXPECT_TRUE(written(0, first));
    std::filesystem::create_hard_link(first, alias);
    EXPECT_FALSE(written(1, first));
    EXPECT_FALSE(written(2, alias));
    EXPECT_EQ(readWholeFile(first), "entry 0");
    ASSERT_EQ(state.LeftAlone.size(), 2u);
    EXPECT_EQ(state.LeftAlone[1].Name, alias);
    EXPECT_EQ(state.LeftAlone[1].Message,
              "soubor stejného jména už tato obnova zapsala, nepřepisuje se");

    zip.OnStartUnZipInfo(zip, 1, 1, stop);
    EXPECT_TRUE(written(0, first));
}

} // namespace
