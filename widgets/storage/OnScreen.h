#pragma once
#include <QList>
#include <QRect>
#include <QtGlobal>

namespace kd {

// A window rectangle as stored: any 32-bit values, so its size and edges are worked out
// in 64 bits.
struct StoredRect {
    qint64 left = 0;
    qint64 top = 0;
    qint64 width = 0;
    qint64 height = 0;
};

// The rectangle brought onto the screen it shares the most area with (the nearest one
// when it meets none): no larger than that screen and wholly on it.
QRect clampedOntoScreens(const StoredRect& window, const QList<QRect>& screens);

// The available areas of the screens there are now.
QList<QRect> availableScreenAreas();

} // namespace kd
