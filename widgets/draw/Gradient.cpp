#include "widgets/draw/Gradient.h"

#include <algorithm>
#include <cstdint>

namespace kd {

namespace {

// a × b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

QColor blend(const QColor& base, const QColor& target, int i, int last) {
    return QColor(base.red() + mulDiv(target.red() - base.red(), i, last),
                  base.green() + mulDiv(target.green() - base.green(), i, last),
                  base.blue() + mulDiv(target.blue() - base.blue(), i, last));
}

} // namespace

void FillGradientRect(QPainter& canvas, const QRect& rect, const QColor& startColor,
                      const QColor& endColor, TGradientDirection direction, int colours) {
    if (rect.isEmpty())
        return;
    if (colours < 2) {
        canvas.fillRect(rect, startColor);
        return;
    }
    const bool vertical = direction == TGradientDirection::TopToBottom ||
                          direction == TGradientDirection::BottomToTop;
    const bool forward = direction == TGradientDirection::TopToBottom ||
                         direction == TGradientDirection::LeftToRight;
    const QColor& base = forward ? startColor : endColor;
    const QColor& target = forward ? endColor : startColor;
    const int extent = vertical ? rect.height() : rect.width();
    const int bands = std::max(2, std::min(colours, extent));
    const int bandSize = extent / bands;

    canvas.save();
    canvas.setPen(Qt::NoPen);
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    if (bandSize > 0) {
        for (int i = 0; i < bands; ++i) {
            const QRect band =
                vertical ? QRect(rect.left(), rect.top() + i * bandSize, rect.width(), bandSize)
                         : QRect(rect.left() + i * bandSize, rect.top(), bandSize, rect.height());
            canvas.fillRect(band, blend(base, target, i, bands - 1));
        }
    }
    const int rest = extent % bands;
    if (rest > 0) {
        const QRect tail =
            vertical ? QRect(rect.left(), rect.top() + extent - rest, rect.width(), rest)
                     : QRect(rect.left() + extent - rest, rect.top(), rest, rect.height());
        canvas.fillRect(tail, forward ? endColor : startColor);
    }
    canvas.restore();
}

} // namespace kd
