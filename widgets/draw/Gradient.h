#pragma once
#include <QColor>
#include <QPainter>
#include <QRect>

namespace kd {

enum class TGradientDirection {
    TopToBottom = 0,
    BottomToTop = 1,
    LeftToRight = 2,
    RightToLeft = 3
};

// Fills the rectangle with bands of colour from start to end (colours bands at most,
// at least 2, no more than the extent in pixels); the pixels left over by the bands
// take the colour of the gradient's far end.
void FillGradientRect(QPainter& canvas, const QRect& rect, const QColor& startColor,
                      const QColor& endColor, TGradientDirection direction, int colours);

} // namespace kd
