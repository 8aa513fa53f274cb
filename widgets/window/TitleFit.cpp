#include "widgets/window/TitleFit.h"

#include "widgets/window/CaptionFit.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>

namespace kd {

TitleFit::TitleFit() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

bool TitleFit::eventFilter(QObject* watched, QEvent* event) {
    // The show event reaches the filter before the dialog's own handler, which sizes a
    // message box and centres the dialog over its parent.
    if (event->type() == QEvent::Show && !event->spontaneous())
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow())
            fitToTitle(*dialog);
    return false;
}

} // namespace kd
