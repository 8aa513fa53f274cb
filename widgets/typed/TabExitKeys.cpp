#include "widgets/typed/TabExitKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace kd {

bool TabExitKeys::keyPress(QWidget* control, QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        pending_ = true;
        shift_ = event->modifiers();
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (!EnterIsTab)
            return false;
        pending_ = true;
        shift_ = event->modifiers();
        const bool back = event->modifiers() & Qt::ShiftModifier;
        QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab, event->modifiers());
        QCoreApplication::sendEvent(control, &tab);
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
