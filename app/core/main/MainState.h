#pragma once
#include "app/core/main/CommandLine.h"
#include "app/core/profiles/ProfileList.h"
#include "app/core/runs/MainWindowRuns.h"
#include "app/core/runs/MainWindowView.h"
#include "app/core/schedule/Scheduler.h"
#include "app/core/settings/ProgramSettings.h"
#include "platform/Clock.h"
#include "platform/UiHost.h"

#include <string>

namespace kd {

// The main window's state and its start-up, free of widgets: the settings, the
// command line, the profile list, the first activation, the scheduler and the two
// passwords. The view must outlive the state; the constructor does not call it.
class MainState {
public:
    MainState(UiHost& ui, const Clock& clock, std::string programDirectory, MainWindowView& view);

    // Creation: takes the command line, sets the scheduler's first check (three
    // minutes from now, or the "s" delay), reads the settings file and loads the
    // message table of its language.
    void FormCreate(const CommandLine& commandLine);

    // The first activation, queued once the window shows; later calls do nothing.
    // Loads every profile file, runs the "a" and "o" switches, leaves the ready state,
    // starts the timers and hides the window when the settings ask for it. A profile
    // that cannot be loaded and a run that fails are reported, and start-up goes on.
    void FormActivate();

    // The profile list gets the focus: ends the program after a command-line run, or
    // after one scheduler pass when started with the system and set to end then.
    void ListEnter();

    // The periodic schedule check. The window's timer calls scheduler().Timer1Timer();
    // a pass runs when the list page shows, no work is in progress and the first
    // check time has come. Its due backups go to runs().RunBackup.
    Scheduler& scheduler() { return scheduler_; }
    const Scheduler& scheduler() const { return scheduler_; }

    // Asks for the profile password (settings HESLO) unless it is empty or was given
    // right before; true when access is granted. A wrong or cancelled answer is reported.
    bool grantProfileAccess();
    bool CheckProfilePassword();
    // The same for the settings password (HESLO_ADMIN), which once answered holds
    // until the program ends.
    bool grantAdminAccess();
    bool CheckAdminPassword();

    // Every "*.lus" file in the program's directory, as a row named after the file name
    // up to its first ".". A file that cannot be loaded is reported and skipped.
    void loadProfiles();

    // The runs start as RunsNotAvailable; the real ones plug in here (they must
    // outlive the state or be replaced before they go).
    void setRuns(MainWindowRuns& runs) { runs_ = &runs; }
    MainWindowRuns& runs() { return *runs_; }

    // The profile's last run as the list shows it: from its stamp file beside the
    // profiles; never run (0) when there is none or it cannot be read.
    LastRun lastRunOf(const std::string& profileName) const;

    const std::string& programDirectory() const { return programDirectory_; }
    UiHost& ui() { return ui_; }
    MainWindowView& view() { return view_; }
    const Clock& clock() const { return clock_; }
    void reportError(const std::string& text);

    ProgramSettings settings;
    CommandLine commandLine;
    ProfileList profiles;
    bool Activated = false;
    bool MinimizeOnFirstActivate = true;
    bool RunDone = false;
    bool AdminPasswordEntered = false;
    bool ProfileUnlocked = false;
    bool TerminateRequested = false;
    // The program's exit status after the "a", "o" or "1" start: 1 when a run failed,
    // else 2 when a run left files out (each named in the logs), else 0; so that a
    // script or scheduler calling the program can tell.
    int ExitStatus = 0;

private:
    // The "a" or "o" switch: the run for every row of that name, then the end of the
    // program; a box when no row has the name.
    void processSwitch(const std::string& name, bool restore);
    // Runs the switch's run for every row of that name; false when no row matched.
    bool runSwitch(const std::string& name, bool restore);
    void requestTerminate();
    // Asks for the password; true when the answer equals it exactly. A wrong or
    // cancelled answer is reported with the message wrongMessage.
    bool askPassword(const std::string& password, int wrongMessage);
    Scheduler::Hooks schedulerHooks();

    UiHost& ui_;
    const Clock& clock_;
    std::string programDirectory_;
    MainWindowView& view_;
    RunsNotAvailable defaultRuns_{ui_};
    MainWindowRuns* runs_ = &defaultRuns_;
    // Reads settings at every tick, so it comes after them.
    Scheduler scheduler_;
};

// The box shown when an action needs a profile and none is chosen.
inline constexpr const char* kNothingSelectedText =
    "Nebyla vybrána žádná položka, akce nebude dokončena";

} // namespace kd
