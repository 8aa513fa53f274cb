#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace kd {

using TTabExitEvent = std::function<void(QWidget* sender, Qt::KeyboardModifiers shift)>;

// The keyboard behaviour the typed edit and the typed combo box share: Enter acting as
// Tab, Space as a click, and the tab-exit event fired when the focus leaves the control
// after Tab (or Enter acting as Tab) with the shift state of that key.
class TabExitKeys {
public:
    bool EnterIsTab = true;
    std::function<void()> OnClickSpace;
    TTabExitEvent OnTabExit;

    // Looks at a key press before the control does; true when it was consumed (Enter
    // moving the focus, Space while OnClickSpace is set).
    bool keyPress(QWidget* control, QKeyEvent* event);
    // The exit was accepted: fires OnTabExit when a tab exit is pending and clears it.
    void exitAccepted(QWidget* control);
    bool tabExitPending() const { return pending_; }

private:
    bool pending_ = false;
    bool enterAsTab_ = false; // the Tab that Enter became is on its way
    Qt::KeyboardModifiers shift_;
};

} // namespace kd
