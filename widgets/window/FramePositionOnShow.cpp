#include "widgets/window/FramePositionOnShow.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace kd {

void FramePositionOnShow::place(QWidget& window, QPoint framePosition) {
    // Before its native window exists, and once it shows, a window's move places its
    // frame.
    window.move(framePosition);
    QWindow* native = window.windowHandle();
    if (window.isWindow() && native && !native->isVisible())
        new FramePositionOnShow(window, framePosition);
}

FramePositionOnShow::FramePositionOnShow(QWidget& window, QPoint framePosition)
    : QObject(window.windowHandle()), window_(&window), at_(framePosition) {
    window.windowHandle()->installEventFilter(this);
}

bool FramePositionOnShow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == parent()) {
        // Unless the window was moved elsewhere meanwhile.
        if (window_ && window_->pos() == at_)
            static_cast<QWindow*>(watched)->setFramePosition(at_);
        deleteLater();
    }
    return false;
}

} // namespace kd
