#pragma once
#include "app/core/profiles/ObjektZal.h"
#include "app/core/runs/RunResult.h"
#include "app/core/settings/ProgramSettings.h"
#include "platform/UiHost.h"

namespace kd {

// The runs the main window starts: the backup run of one profile and the restore of
// one profile's newest archive. The window, its command-line switches and the
// scheduler's due backups all call them through this interface; the real runs plug
// in with MainState::setRuns (TFormZalohovani::setRuns), replacing the stand-in below.
//
// A run shows the window's busy state while it works and the ready state when it
// ends (MainWindowView::ShowBusy / ShowReady), writes the profile's last-run stamp
// (WriteLastRun in LastRunStamp.h) and refreshes its row (ProfileList::refreshTexts
// with MainState::lastRunOf). It may throw: kd::SilentAbort
// when the user cancelled, another kd::Exception for an error that ended it; the
// caller reports the error.
class MainWindowRuns {
public:
    virtual ~MainWindowRuns() = default;
    // Backs the profile of the row up.
    virtual RunResult RunBackup(TObjektZal& profile, int row) = 0;
    // Restores the newest archive of the row's profile.
    virtual RunResult RestoreBackup(int row) = 0;
    // The settings were saved: what the runs keep of them (the ZIP engine's level,
    // overwrite mode and temporary directory) takes the new values at once.
    virtual void applySettings(const ProgramSettings& settings) { (void)settings; }
};

// Stands in until the runs exist: says so and reports failure.
class RunsNotAvailable : public MainWindowRuns {
public:
    explicit RunsNotAvailable(UiHost& ui) : ui_(ui) {}
    RunResult RunBackup(TObjektZal& profile, int row) override;
    RunResult RestoreBackup(int row) override;

private:
    UiHost& ui_;
};

} // namespace kd
