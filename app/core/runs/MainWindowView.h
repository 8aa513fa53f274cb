#pragma once
#include <chrono>
#include <string>

namespace kd {

// What the main window's logic asks of the window itself.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void showProfilePage() = 0;
    virtual bool profilePageActive() const = 0;
    virtual void focusProfileList() = 0;
    // Busy: menus and the list's tool bar disabled, the cancel button enabled.
    virtual void ShowBusy() = 0;
    virtual void ShowReady() = 0;
    // True when the list's tool bar is enabled: no run and no editing in progress.
    virtual bool readyForWork() const = 0;
    virtual void startTimers() = 0;
    // The periodic timer's interval from its next tick on.
    virtual void setTimerInterval(std::chrono::milliseconds interval) = 0;
    // Hides to the notification area where there is one; otherwise minimises.
    virtual void minimizeApplication() = 0;
    // Ends the program once control returns to the event loop (also when asked
    // before the loop runs).
    virtual void terminateApplication() = 0;

    // The runs' progress: the status bar's first panel and the notification icon's
    // hint. The defaults show nothing.
    virtual void showStatusText(const std::string& text) { (void)text; }
    virtual void showTrayHint(const std::string& text) { (void)text; }
    // After a run that could not open some files: the busy state and the page that
    // shows the global log, whose OK button returns to the ready state. The default
    // stays where it is.
    virtual void showProtocolPage() {}
    // False when no one can see or use the window (no display): the program then ends
    // where it would otherwise wait for the user.
    virtual bool interactive() const { return true; }
};

} // namespace kd
