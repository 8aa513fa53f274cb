#pragma once
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace kd {

// A colour as the kit's properties store it: 0x00BBGGRR, or a system colour
// (0x80000000 | index) resolved through the palette, or one of two special values.
using TColor = std::uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;    // no colour: no transparency
inline constexpr TColor clDefault = 0x20000000; // take the bitmap's bottom-left pixel
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clSilver = 0xC0C0C0;

inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;

// The colour's RGB value: system colours come from the palette's matching role.
QColor ColorToRGB(TColor color, const QPalette& palette);
// The application's palette.
QColor ColorToRGB(TColor color);
TColor ColorFromRGB(const QColor& color);

} // namespace kd
