#pragma once
#include <functional>

namespace kd {

// How the program gets its windows on a machine that may have no display.
enum class DisplayChoice {
    Display,   // a display (or a platform chosen by the user) is there
    Offscreen, // none: the windows are drawn off screen
    None,      // none, and the program cannot do without one
};

// A backup or restore asked for on the command line (unattended, as from cron) runs
// without a display: its windows are drawn off screen, where questions get their safe
// answer. Any other start needs one; without it Qt would abort the program. lookup reads
// an environment variable (nullptr when unset).
DisplayChoice ChooseDisplay(bool unattended,
                            const std::function<const char*(const char*)>& lookup);

// The choice for this process: with Offscreen, Qt's platform is set to it.
DisplayChoice ChooseDisplayForThisProcess(bool unattended);

} // namespace kd
