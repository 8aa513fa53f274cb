#pragma once
#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QString>

namespace kd {

// A font that writes at an angle (degrees counter-clockwise from the baseline).
struct AngledFont {
    QFont font;
    int angle = 0;
};

// The font's family (the system's sans-serif font for "Default"), size, weight (bold
// or normal), italic, underline and strike-out, turned by the angle.
AngledFont CreateAngledFont(const QFont& font, int angleDegrees);
// Writes text with its baseline starting at origin, turned by the font's angle.
void DrawAngledText(QPainter& canvas, QPoint origin, const QString& text, const AngledFont& font);

} // namespace kd
