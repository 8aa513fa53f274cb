#pragma once
#include "widgets/draw/KitImageList.h"

#include <QColor>
#include <QImage>
#include <QPainter>

namespace kd {

// The source's shape (its pixels that are not of the mono colour; for a monochrome
// source, its pixels that are not white) in the shadow colour on the back colour,
// with a highlight-coloured copy one pixel right and down when highlight is set.
QImage CreateEmbossedBitmap(const QImage& source, const QColor& monoColor, const QColor& backColor,
                            bool highlight, const QColor& shadowColor,
                            const QColor& highlightColor);
// The disabled look in the palette's button colours.
QImage CreateGrayedBitmap(const QImage& source, const QColor& monoColor, const QPalette& palette);

// The opaque pixels of one image of the list, painted in the shadow colour at (x, y)
// over a highlight-coloured copy at (x + 1, y + 1) when highlight is set.
void DrawImageGrayed(const KitImageList& images, QPainter& canvas, int x, int y, int index,
                     const QColor& shadowColor, const QColor& highlightColor, bool highlight);

} // namespace kd
