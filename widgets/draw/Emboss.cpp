#include "widgets/draw/Emboss.h"

#include "widgets/draw/KitColor.h"

namespace kd {

namespace {

// A shape in one colour: the colour where the shape is set, transparent elsewhere.
using ShapeTest = bool (*)(QRgb pixel, QRgb key);

QImage colouredShape(const QImage& source, QRgb key, ShapeTest inShape, const QColor& color) {
    const QImage pixels = source.convertToFormat(QImage::Format_ARGB32);
    QImage shape(pixels.size(), QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    const QRgb paint = color.rgb() | 0xFF000000;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (inShape(in[x], key))
                out[x] = paint;
    }
    return shape;
}

// Paints the shape in the highlight colour one pixel right and down, then in the
// shadow colour, keeping the canvas elsewhere.
void paintEmbossed(QPainter& canvas, QPoint at, const QImage& source, QRgb key, ShapeTest inShape,
                   bool highlight, const QColor& shadowColor, const QColor& highlightColor) {
    if (highlight)
        canvas.drawImage(at + QPoint(1, 1), colouredShape(source, key, inShape, highlightColor));
    canvas.drawImage(at, colouredShape(source, key, inShape, shadowColor));
}

bool differsFromKey(QRgb pixel, QRgb key) {
    return (pixel & RGB_MASK) != key;
}

bool opaque(QRgb pixel, QRgb) {
    return qAlpha(pixel) != 0;
}

} // namespace

QImage CreateEmbossedBitmap(const QImage& source, const QColor& monoColor, const QColor& backColor,
                            bool highlight, const QColor& shadowColor,
                            const QColor& highlightColor) {
    QImage result(source.size(), QImage::Format_RGB32);
    if (source.isNull())
        return result;
    result.fill(backColor);
    const QRgb key = (source.depth() == 1 ? QColor(Qt::white) : monoColor).rgb() & RGB_MASK;
    QPainter painter(&result);
    paintEmbossed(painter, QPoint(0, 0), source, key, differsFromKey, highlight, shadowColor,
                  highlightColor);
    return result;
}

QImage CreateGrayedBitmap(const QImage& source, const QColor& monoColor, const QPalette& palette) {
    return CreateEmbossedBitmap(source, monoColor, ColorToRGB(clBtnFace, palette), true,
                                ColorToRGB(clBtnShadow, palette),
                                ColorToRGB(clBtnHighlight, palette));
}

void DrawImageGrayed(const KitImageList& images, QPainter& canvas, int x, int y, int index,
                     const QColor& shadowColor, const QColor& highlightColor, bool highlight) {
    if (!images.validIndex(index))
        return;
    canvas.save();
    paintEmbossed(canvas, QPoint(x, y), images.image(index), 0, opaque, highlight, shadowColor,
                  highlightColor);
    canvas.restore();
}

} // namespace kd
