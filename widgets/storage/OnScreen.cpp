#include "widgets/storage/OnScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace kd {
namespace {

// The length that two ranges share (0 when they do not meet).
qint64 overlap(qint64 start, qint64 length, qint64 otherStart, qint64 otherLength) {
    return std::max<qint64>(0, std::min(start + length, otherStart + otherLength) -
                                   std::max(start, otherStart));
}

// How far apart two ranges lie (0 when they meet).
double gap(qint64 start, qint64 length, qint64 otherStart, qint64 otherLength) {
    return static_cast<double>(
        std::max<qint64>({0, otherStart - (start + length), start - (otherStart + otherLength)}));
}

int toInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

} // namespace

QRect clampedOntoScreens(const StoredRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return QRect(toInt(window.left), toInt(window.top), toInt(window.width),
                     toInt(window.height));
    const QRect* chosen = nullptr;
    qint64 mostArea = 0;
    for (const QRect& screen : screens) {
        const qint64 area = overlap(window.left, window.width, screen.x(), screen.width()) *
                            overlap(window.top, window.height, screen.y(), screen.height());
        if (area > mostArea) {
            mostArea = area;
            chosen = &screen;
        }
    }
    if (!chosen) {
        double nearest = std::numeric_limits<double>::infinity();
        for (const QRect& screen : screens) {
            const double dx = gap(window.left, window.width, screen.x(), screen.width());
            const double dy = gap(window.top, window.height, screen.y(), screen.height());
            if (const double distance = dx * dx + dy * dy; distance < nearest) {
                nearest = distance;
                chosen = &screen;
            }
        }
    }
    const qint64 width = std::clamp<qint64>(window.width, 0, chosen->width());
    const qint64 height = std::clamp<qint64>(window.height, 0, chosen->height());
    const qint64 left =
        std::clamp<qint64>(window.left, chosen->x(), chosen->x() + chosen->width() - width);
    const qint64 top =
        std::clamp<qint64>(window.top, chosen->y(), chosen->y() + chosen->height() - height);
    return QRect(toInt(left), toInt(top), toInt(width), toInt(height));
}

QList<QRect> availableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace kd
