#pragma once
#include <QEvent>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace kd {

// Drops the events of that type still queued for the object. A quit request is never
// dropped, so the program still ends when asked to.
void DiscardPendingMessage(QObject* window, QEvent::Type type);
// True when the active window is one of this program's.
bool AppOwnsActiveWindow();
// Raises and activates an enabled window; with restore, a visible window that is
// minimised comes back to its normal size and takes the focus.
void BringWindowToFront(QWidget* window, bool restore);
// Moves the rectangle left (up) until it ends at the screen's right (bottom) edge,
// then right (down) to 0 when it starts before it.
void FitRectToScreen(QRect& rect, QSize screen);
void FitRectToScreen(QRect& rect);
// Centres the window on the screen (a window larger than the screen goes to 0), with
// neither its size nor its stacking changed.
void CenterWindowOnScreen(QWidget* window, QSize screen);
void CenterWindowOnScreen(QWidget* window);

} // namespace kd
