#include "widgets/window/WindowRoutines.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace kd {

namespace {

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

} // namespace

void DiscardPendingMessage(QObject* window, QEvent::Type type) {
    if (!window || type == QEvent::Quit)
        return;
    QCoreApplication::removePostedEvents(window, type);
}

bool AppOwnsActiveWindow() {
    return QApplication::activeWindow() != nullptr;
}

void BringWindowToFront(QWidget* window, bool restore) {
    if (!window || !window->isEnabled())
        return;
    window->raise();
    window->activateWindow();
    if (!restore || !window->isVisible())
        return;
    if (!window->isMaximized()) {
        if (window->isMinimized())
            window->showNormal();
        window->setFocus();
    }
}

void FitRectToScreen(QRect& rect, QSize screen) {
    // Edges as the window system counts them: right and bottom one past the last pixel.
    if (rect.left() + rect.width() > screen.width())
        rect.moveLeft(screen.width() - rect.width());
    if (rect.left() < 0)
        rect.moveLeft(0);
    if (rect.top() + rect.height() > screen.height())
        rect.moveTop(screen.height() - rect.height());
    if (rect.top() < 0)
        rect.moveTop(0);
}

void FitRectToScreen(QRect& rect) {
    FitRectToScreen(rect, primaryScreenSize());
}

void CenterWindowOnScreen(QWidget* window, QSize screen) {
    if (!window)
        return;
    const QSize size = window->frameGeometry().size();
    QRect rect(QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2),
               size);
    FitRectToScreen(rect, screen);
    window->move(rect.topLeft());
}

void CenterWindowOnScreen(QWidget* window) {
    CenterWindowOnScreen(window, primaryScreenSize());
}

} // namespace kd
