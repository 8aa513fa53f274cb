#pragma once
#include "widgets/draw/KitColor.h"

#include <QImage>

namespace kd {

// A bitmap with the transparency settings it is drawn with.
struct KitBitmap {
    QImage image;
    TColor TransparentColor = clDefault;
    bool Transparent = false;

    bool empty() const { return image.isNull(); }
    bool monochrome() const { return image.depth() == 1; }
    // The transparent colour in force: clDefault stands for the bottom-left pixel.
    QColor transparentRGB() const;
};

} // namespace kd
