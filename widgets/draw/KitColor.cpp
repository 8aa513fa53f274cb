#include "widgets/draw/KitColor.h"

#include <QGuiApplication>

namespace kd {

namespace {

QColor systemColor(unsigned index, const QPalette& palette) {
    switch (index) {
    case 4:
        return palette.color(QPalette::Active, QPalette::Window);
    case 5:
        return palette.color(QPalette::Active, QPalette::Base);
    case 7:
        return palette.color(QPalette::Active, QPalette::WindowText);
    case 8:
        return palette.color(QPalette::Active, QPalette::Text);
    case 13:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 14:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Active, QPalette::Button);
    case 16:
        return palette.color(QPalette::Active, QPalette::Dark);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case 18:
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Active, QPalette::Light);
    default:
        return palette.color(QPalette::Active, QPalette::Window);
    }
}

} // namespace

QColor ColorToRGB(TColor color, const QPalette& palette) {
    if (color & clSystemColor)
        return systemColor(color & 0xFF, palette);
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QColor ColorToRGB(TColor color) {
    return ColorToRGB(color, QGuiApplication::palette());
}

TColor ColorFromRGB(const QColor& color) {
    return static_cast<TColor>(color.red()) | static_cast<TColor>(color.green()) << 8 |
           static_cast<TColor>(color.blue()) << 16;
}

} // namespace kd
