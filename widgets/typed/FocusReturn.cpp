#include "widgets/typed/FocusReturn.h"

#include <QTimer>
#include <QWidget>

namespace kd {
namespace {

bool returning = false;

} // namespace

void FocusReturn::takeBack(QWidget* field) {
    // The timer's context ends it with the field: no call reaches a destroyed field.
    QTimer::singleShot(0, field, [field] {
        if (!field->isEnabled() || !field->isVisible() || !(field->focusPolicy() & Qt::TabFocus))
            return;
        returning = true;
        field->setFocus(Qt::OtherFocusReason);
        returning = false;
    });
}

bool FocusReturn::inProgress() {
    return returning;
}

} // namespace kd
