#include "widgets/draw/MaskedDraw.h"

namespace kd {

QImage ClearMaskColor(const QImage& image, const QColor& maskColor, bool opaqueRest) {
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = maskColor.rgb() & RGB_MASK;
    const QRgb opaque = opaqueRest ? 0xFF000000 : 0;
    for (int y = 0; y < copy.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            line[x] = (line[x] & RGB_MASK) == key ? 0 : (line[x] | opaque);
    }
    return copy;
}

void MaskedStretchBlt(QPainter& destination, const QRect& target, const QImage& source,
                      const QRect& sourceRect, const QColor& transparent) {
    // The mask is taken at the source's size and stretched with it, pixel for pixel.
    const QImage copy = ClearMaskColor(source.copy(sourceRect), transparent, true);
    const QImage stretched =
        copy.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    destination.save();
    destination.setCompositionMode(QPainter::CompositionMode_SourceOver);
    destination.drawImage(target.topLeft(), stretched);
    destination.restore();
}

void StretchBitmapMasked(QPainter& canvas, QRect target, QRect sourceRect, const QImage& bitmap,
                         TColor transparent) {
    if (bitmap.isNull())
        return;
    if (target.width() < 1)
        target.setWidth(bitmap.width());
    if (target.height() < 1)
        target.setHeight(bitmap.height());
    if (sourceRect.width() < 1 || sourceRect.height() < 1)
        sourceRect = bitmap.rect();
    if (transparent == clNone) {
        const QImage part = sourceRect == bitmap.rect() ? bitmap : bitmap.copy(sourceRect);
        canvas.drawImage(target,
                         part.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        return;
    }
    QColor key;
    if (bitmap.depth() == 1)
        key = Qt::white;
    else if (transparent == clDefault)
        key = bitmap.pixelColor(0, bitmap.height() - 1);
    else
        key = ColorToRGB(transparent);
    MaskedStretchBlt(canvas, target, bitmap, sourceRect, key);
}

void DrawBitmapMasked(QPainter& canvas, int x, int y, const QImage& bitmap, TColor transparent) {
    StretchBitmapMasked(canvas, QRect(x, y, bitmap.width(), bitmap.height()), QRect(), bitmap,
                        transparent);
}

} // namespace kd
