#pragma once
#include "app/core/profiles/ObjektZal.h"
#include "app/core/runs/RunResult.h"
#include "app/core/settings/ProgramSettings.h"
#include "platform/Clock.h"
#include "platform/UiHost.h"

#include <chrono>
#include <functional>
#include <string>

namespace kd {

// The periodic schedule check: on each tick of the main window's timer it walks the
// profile list and starts the backups that are due (see DueRules.h), asking first
// unless the settings say not to.
//
// Wiring in the main window:
//  - Create a QTimer `Timer1` with an interval of 5000 ms, stopped; start it on the
//    window's first activation. Connect its timeout to a slot that calls
//    `scheduler.Timer1Timer()`; the scheduler sets the timer's next interval through
//    `Hooks::setTimerInterval` (connect that to `Timer1.setInterval`).
//  - Hooks::isIdle answers whether the profile-list page is showing and no run,
//    restore or profile editing is in progress (ToolBarBrowse enabled).
//    Hooks::ShowBusy / ShowReady are the window's busy and ready states.
//  - After reading the command line, call setNextCheckTime(now + 3 minutes, or + the
//    minutes of the "s" switch). For "1" with AUTKONEC call CheckSchedule() once.
//  - RunBackup is the backup run of one profile and its row index; it returns
//    how the run ended and may throw (kd::SilentAbort when cancelled).
//  - The settings object must outlive the scheduler; it is read at every tick, so a
//    saved settings page takes effect at the next tick.
// No exception leaves Timer1Timer or CheckSchedule: an error ends the pass and is
// shown in an error box (a cancelled run silently), so the slot needs no try block.
class Scheduler {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    // The profile record of a row of the profile list; null when the row has no
    // record or there is no such row (either ends the pass).
    using ProfileAt = std::function<TObjektZal*(int row)>;
    using RunBackupFn = std::function<RunResult(TObjektZal& profile, int row)>;
    using MessageText = std::function<std::string(int id)>;

    struct Hooks {
        std::function<void(std::chrono::milliseconds)> setTimerInterval;
        std::function<bool()> isIdle;
        std::function<void()> ShowBusy;
        std::function<void()> ShowReady;
    };

    // What one pass did.
    struct PassReport {
        bool ran = false;   // false: the gate was closed or a pass was already running
        int started = 0;    // backups started
        int succeeded = 0;  // of those, the ones that did not fail
        int incomplete = 0; // of those, the ones that left files out
        bool ended = false; // an error ended the pass before the last row
    };

    // stampDir: the directory of the profiles' last-run stamps. messageText gives the
    // message table's texts (by default the program's table in its current language).
    Scheduler(const Clock& clock, UiHost& ui, const ProgramSettings& settings, std::string stampDir,
              ProfileAt profileAt, RunBackupFn runBackup, Hooks hooks,
              MessageText messageText = {});

    // The first moment at which a tick may run a pass; a pass never moves it.
    void setNextCheckTime(TimePoint when) { nextCheckTime_ = when; }
    TimePoint NextCheckTime() const { return nextCheckTime_; }

    // The timer's tick: sets the timer's interval from the settings, then runs a pass
    // when the first-check time has passed, the window is idle and no pass is running.
    PassReport Timer1Timer();

    // One pass over the profile list, in the busy state; does nothing while a pass is
    // already running (a question box or a run lets the timer tick meanwhile).
    PassReport CheckSchedule();

    bool passRunning() const { return running_; }

    // The timer's interval for the settings: TimerInterval, but never below one
    // second, and the default ten minutes for a value of 0 or less.
    static std::chrono::milliseconds timerInterval(const ProgramSettings& settings);

private:
    void runPass(PassReport& report);
    bool confirmRun(const TObjektZal& profile);

    const Clock& clock_;
    UiHost& ui_;
    const ProgramSettings& settings_;
    std::string stampDir_;
    ProfileAt profileAt_;
    RunBackupFn runBackup_;
    Hooks hooks_;
    MessageText messageText_;
    TimePoint nextCheckTime_;
    bool running_ = false;
};

} // namespace kd
