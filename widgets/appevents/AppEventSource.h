#pragma once
#include <QObject>

class QAction;
class QHelpEvent;
class QKeyEvent;
class QWidget;

namespace kd {

class KitApplication;

// Raises the application's events from their Qt counterparts, for every window:
// OnMessage for each event that reaches a window of the window system (before its
// widgets see it), OnShortCut for the shortcut override that comes before each key
// press, OnHint when the status tip under the pointer changes, OnShowHint before a
// tool tip shows, OnHelp for a What's This request, OnActionExecute when an action is
// triggered, and OnIdle, then OnActionUpdate for the actions of the visible windows,
// whenever the event loop is about to wait. A child of the Qt application.
class AppEventSource : public QObject {
    Q_OBJECT
public:
    explicit AppEventSource(KitApplication& application);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchAction(QAction* action);
    bool shortcut(QObject* watched, QKeyEvent& key);
    bool showHint(QWidget& control, QHelpEvent& help);
    bool help(QWidget& control, QHelpEvent& help);
    void actionTriggered();
    void idle();
    void updateActions();

    KitApplication& application_;
    // A key press whose shortcut a handler took: its key event goes no further.
    int swallowedKey_ = 0;
};

} // namespace kd
