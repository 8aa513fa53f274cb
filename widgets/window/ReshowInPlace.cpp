#include "widgets/window/ReshowInPlace.h"

#include "widgets/window/FramePositionOnShow.h"

#include <QEvent>
#include <QWidget>

namespace kd {

ReshowInPlace::ReshowInPlace(QWidget& window) : QObject(&window), window_(window) {
    window.installEventFilter(this);
}

bool ReshowInPlace::eventFilter(QObject* watched, QEvent* event) {
    // Spontaneous ones only minimise or restore the window.
    if (watched != &window_ || event->spontaneous())
        return false;
    if (event->type() == QEvent::Hide) {
        hidden_ = true;
        framePosition_ = window_.pos();
        size_ = window_.size();
    } else if (event->type() == QEvent::Show && hidden_) {
        hidden_ = false;
        window_.resize(size_);
        FramePositionOnShow::place(window_, framePosition_);
    }
    return false;
}

} // namespace kd
