#pragma once
#include <QList>
#include <QRect>

namespace kd {

// A window rectangle that meets none of the screens is moved onto the nearest one
// (shrunk to it when larger); one that shows on some screen stays as it is.
QRect movedOntoScreens(const QRect& window, const QList<QRect>& screens);

// The available areas of the screens there are now.
QList<QRect> availableScreenAreas();

} // namespace kd
