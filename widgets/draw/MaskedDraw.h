#pragma once
#include "widgets/draw/KitBitmap.h"

#include <QPainter>
#include <QRect>

namespace kd {

// Draws the source rectangle stretched onto the destination rectangle, leaving the
// destination as it was wherever the source has the transparent colour.
// An ARGB copy of the image whose pixels of the mask colour are clear; with opaqueRest
// every other pixel is made fully opaque.
QImage ClearMaskColor(const QImage& image, const QColor& maskColor, bool opaqueRest = false);

void MaskedStretchBlt(QPainter& destination, const QRect& target, const QImage& source,
                      const QRect& sourceRect, const QColor& transparent);

// A target width or height below 1 takes the bitmap's; a source width or height below
// 1 selects the whole bitmap. transparent: clNone draws every pixel, clDefault takes
// the bitmap's bottom-left pixel, a monochrome bitmap is transparent where white.
void StretchBitmapMasked(QPainter& canvas, QRect target, QRect sourceRect, const QImage& bitmap,
                         TColor transparent);
// The whole bitmap at its own size.
void DrawBitmapMasked(QPainter& canvas, int x, int y, const QImage& bitmap, TColor transparent);

} // namespace kd
