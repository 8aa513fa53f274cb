#include "widgets/typed/TabExitKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace kd {

bool TabExitKeys::keyPress(QWidget* control, QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        pending_ = true;
        if (!enterAsTab_)
            shift_ = event->modifiers();
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (!EnterIsTab)
            return false;
        pending_ = true;
        shift_ = event->modifiers();
        // Qt moves the focus only for a plain or shifted Tab.
        const bool back = event->modifiers() & Qt::ShiftModifier;
        QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                      back ? Qt::ShiftModifier : Qt::NoModifier);
        enterAsTab_ = true;
        QCoreApplication::sendEvent(control, &tab);
        enterAsTab_ = false;
        return true;
    }
    case Qt::Key_Space:
        if (!OnClickSpace)
            return false;
        shift_ = event->modifiers();
        OnClickSpace();
        return true;
    default:
        shift_ = event->modifiers();
        return false;
    }
}

void TabExitKeys::exitAccepted(QWidget* control) {
    const bool fire = pending_;
    pending_ = false;
    if (fire && OnTabExit)
        OnTabExit(control, shift_);
}

} // namespace kd
