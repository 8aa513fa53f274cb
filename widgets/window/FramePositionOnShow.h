#pragma once
#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace kd {

// Puts a window's frame at a point. A window whose native window is made but not shown
// yet does not know its frame (under X11 the window manager frames it only once it
// shows): a move then puts the window's inside at the point, and a window placed where
// its frame was would come back a title bar's height lower each time, its frame
// staying a title bar higher than stored. So the frame is placed again as the native
// window shows.
class FramePositionOnShow : public QObject {
public:
    static void place(QWidget& window, QPoint framePosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FramePositionOnShow(QWidget& window, QPoint framePosition);

    QPointer<QWidget> window_;
    QPoint at_;
};

} // namespace kd
