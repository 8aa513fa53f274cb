#pragma once
#include "app/core/CommandLine.h"
#include "app/core/MainWindowRuns.h"
#include "app/core/MainWindowView.h"
#include "app/core/ProfileList.h"
#include "app/core/ProgramSettings.h"
#include "platform/Clock.h"
#include "platform/UiHost.h"

#include <string>

namespace kd {

// The main window's state and its start-up, free of widgets: the settings, the
// command line, the profile list, the first activation and the profile password.
class MainState {
public:
    MainState(UiHost& ui, const Clock& clock, std::string programDirectory);

    // Creation: takes the command line, sets the first schedule check (three minutes
    // from now, or the "s" delay), reads the settings file and loads the message table
    // of its language.
    void FormCreate(const CommandLine& commandLine);

    // The first activation, queued once the window shows; later calls do nothing.
    // Loads every profile file, runs the "a" and "o" switches, leaves the ready state,
    // starts the timers and hides the window when the settings ask for it. A profile
    // that cannot be loaded and a run that fails are reported, and start-up goes on.
    void FormActivate(MainWindowView& view);

    // The profile list gets the focus: ends the program after a command-line run, or
    // after one scheduler pass when started with the system and set to end then.
    void ListEnter(MainWindowView& view);

    // One tick of the periodic timer: a scheduler pass when the list page shows, no
    // work is in progress and the first check time has come.
    void Timer1Timer(MainWindowView& view);

    // Asks for the profile password (settings HESLO) unless it is empty or was given
    // right before; true when access is granted. A wrong or cancelled answer is reported.
    bool grantProfileAccess();
    bool CheckProfilePassword();

    // Every "*.lus" file in the program's directory, as a row named after the file name
    // up to its first ".". A file that cannot be loaded is reported and skipped.
    void loadProfiles();

    // The runs start as RunsNotAvailable; the real ones plug in here.
    void setRuns(MainWindowRuns& runs) { runs_ = &runs; }
    MainWindowRuns& runs() { return *runs_; }

    const std::string& programDirectory() const { return programDirectory_; }
    UiHost& ui() { return ui_; }
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
    TDateTime NextCheckTime = 0;

private:
    // The "a" or "o" switch: the run for every row of that name, then the end of the
    // program; a box when no row has the name.
    void processSwitch(MainWindowView& view, const std::string& name, bool restore);
    // Runs the switch's run for every row of that name; false when no row matched.
    bool runSwitch(const std::string& name, bool restore);
    void requestTerminate(MainWindowView& view);

    UiHost& ui_;
    const Clock& clock_;
    std::string programDirectory_;
    RunsNotAvailable defaultRuns_{ui_};
    MainWindowRuns* runs_ = &defaultRuns_;
};

// The box shown when an action needs a profile and none is chosen.
inline constexpr const char* kNothingSelectedText =
    "Nebyla vybrána žádná položka, akce nebude dokončena";

} // namespace kd
