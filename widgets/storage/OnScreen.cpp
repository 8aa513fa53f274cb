#include "widgets/storage/OnScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace kd {
namespace {

// Squared distance between two rectangles (0 when they meet).
qint64 distance(const QRect& a, const QRect& b) {
    const qint64 dx =
        std::max<qint64>({0, qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy =
        std::max<qint64>({0, qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

QRect movedOntoScreens(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty() || window.isEmpty())
        return window;
    const QRect* nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        if (screen.intersects(window))
            return window;
        if (const qint64 d = distance(window, screen); d < best) {
            best = d;
            nearest = &screen;
        }
    }
    QRect moved(window.topLeft(), window.size().boundedTo(nearest->size()));
    moved.moveLeft(std::clamp(moved.left(), nearest->left(), nearest->right() - moved.width() + 1));
    moved.moveTop(std::clamp(moved.top(), nearest->top(), nearest->bottom() - moved.height() + 1));
    return moved;
}

QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace kd
