#include "widgets/typed/TComboBoxVarox.h"

#include "widgets/typed/FocusReturn.h"

#include <QKeyEvent>

namespace kd {

bool TComboBoxVarox::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && keys_.keyPress(this, static_cast<QKeyEvent*>(event)))
        return true;
    return QComboBox::event(event);
}

void TComboBoxVarox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // A message box or the drop-down list taking the focus is no exit.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason &&
        !FocusReturn::inProgress())
        keys_.exitAccepted(this);
}

} // namespace kd
