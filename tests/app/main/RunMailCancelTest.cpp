// The cancel button while a backup's mail is handed over: the request that stops the
// zipping stops sendmail too.
#include "app/core/mail/MailTexts.h"
#include "app/core/main/AppRuns.h"
#include "app/support/FakeMailPrograms.h"
#include "app/support/MainFixture.h"
#include "platform/ArchiveAttributeFake.h"
#include "platform/AtomicFile.h"
#include "platform/FakeVolumeService.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <filesystem>

namespace kd::test {
namespace {

// Presses the cancel button once the mail program has started.
class CancellingUiHost : public ScriptedUiHost {
public:
    void processEvents() override {
        ScriptedUiHost::processEvents();
        if (runs && !pressed && std::filesystem::exists(started) &&
            !readTextLines(started).empty()) {
            pressed = true;
            runs->cancel();
        }
    }
    AppRuns* runs = nullptr;
    std::string started;
    bool pressed = false;
};

TEST(RunMailCancel, TheCancelButtonStopsSendmailAndBothLogsSaySo) {
    FakeMailPrograms programs;
    TempDir dir;
    const std::string pid = dir.file("sendmail.pid");
    // Reads nothing, for far less than the mail's own limit.
    programs.add("sendmail", 0, "echo $$ > '" + pid + "'; exec /bin/sleep 30 >/dev/null 2>&1",
                 false);
    dir.write("data/a.txt", "text");
    std::filesystem::create_directories(dir.file("backup"));
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    TObjektZal profile;
    profile.Name = "P";
    profile.SourceDir = dir.file("data/");
    profile.TargetDir = dir.file("backup/");
    profile.Masks = "*.txt";
    profile.MailTo = "owner@example.org";
    SaveProfile(profile, dir.path());

    CancellingUiHost ui;
    FakeClock clock;
    RecordingView view;
    MainState state{ui, clock, dir.path(), view};
    FakeVolumeService volumes;
    AutomountNetworkTarget network;
    ArchiveAttributeFake attributes;
    AppRuns runs{state, RunPlatform{volumes, network, attributes}};
    state.setRuns(runs);
    state.FormCreate(CommandLine::parse("/opt/kordyne", {}));
    state.loadProfiles();
    ui.runs = &runs;
    ui.started = pid;

    // The archive stands; only the mail was cancelled.
    EXPECT_EQ(runs.RunBackup(state.profiles.record(0), 0), RunResult::Complete);
    EXPECT_TRUE(ui.pressed);
    const std::string line = mail_text::cancelled("CZ", profile.MailTo);
    EXPECT_NE(readWholeFile(dir.file("Protokol.txt")).find(line), std::string::npos);
    EXPECT_NE(readWholeFile(dir.file("P.log")).find(line), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("/proc/" + readTextLines(pid).at(0)));
    EXPECT_TRUE(std::filesystem::exists(dir.file("backup/P.zip")));
    const std::string waiting = mail_text::waiting("CZ", programs.bin() + "/sendmail");
    EXPECT_NE(std::find(view.status.begin(), view.status.end(), waiting), view.status.end());
}

} // namespace
} // namespace kd::test
