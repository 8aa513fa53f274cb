#include "widgets/draw/KitBitmap.h"

namespace kd {

QColor KitBitmap::transparentRGB() const {
    if (TransparentColor == clDefault && !image.isNull())
        return image.pixelColor(0, image.height() - 1);
    return ColorToRGB(TransparentColor & ~TColor(0x2000000));
}

} // namespace kd
