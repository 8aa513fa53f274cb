#pragma once
#include "widgets/draw/KitColor.h"

#include <QRect>
#include <cstdint>

namespace kd {

inline std::int32_t IntMax(std::int32_t a, std::int32_t b) {
    return b >= a ? b : a;
}
inline std::int32_t IntMin(std::int32_t a, std::int32_t b) {
    return a < b ? a : b;
}
// A rectangle's right edge lies one past its last pixel, so these are its extents.
inline int RectWidthOf(const QRect& rect) {
    return rect.width();
}
inline int RectHeightOf(const QRect& rect) {
    return rect.height();
}
// The colour's RGB value marked as a palette-relative reference.
inline TColor PaletteRelativeColor(TColor color) {
    return ColorFromRGB(ColorToRGB(color)) | 0x2000000;
}
// The text unchanged: captions pass through here on their way to the screen.
inline const char* PassThroughText(const char* text) {
    return text;
}

} // namespace kd
