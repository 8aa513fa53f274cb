#pragma once
#include <QPainter>
#include <QWidget>

namespace kd {

// Paints into the canvas what lies beneath the control: its parent's background and
// the siblings before it that overlap it, so the control can look see-through.
void PaintParentBackground(QWidget* control, QPainter& canvas);

} // namespace kd
