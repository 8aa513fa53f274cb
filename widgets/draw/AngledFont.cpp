#include "widgets/draw/AngledFont.h"

#include <QFontDatabase>

namespace kd {

AngledFont CreateAngledFont(const QFont& font, int angleDegrees) {
    QFont turned;
    if (font.family().compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0)
        turned.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    else
        turned.setFamily(font.family());
    if (font.pixelSize() > 0)
        turned.setPixelSize(font.pixelSize());
    else
        turned.setPointSizeF(font.pointSizeF());
    turned.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    turned.setItalic(font.italic());
    turned.setUnderline(font.underline());
    turned.setStrikeOut(font.strikeOut());
    turned.setFixedPitch(font.fixedPitch());
    return {turned, angleDegrees};
}

void DrawAngledText(QPainter& canvas, QPoint origin, const QString& text, const AngledFont& font) {
    canvas.save();
    canvas.setFont(font.font);
    canvas.translate(origin);
    // Screen y grows downwards, so counter-clockwise is a negative turn.
    canvas.rotate(-font.angle);
    canvas.drawText(QPoint(0, 0), text);
    canvas.restore();
}

} // namespace kd
