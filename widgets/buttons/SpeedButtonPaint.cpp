// The speed button's painting: frame, pattern, glyph, caption and drop-down mark.
#include "widgets/buttons/TKitSpeedButton.h"
#include "widgets/draw/KitColor.h"
#include "widgets/draw/ParentBackground.h"
#include "widgets/draw/ShortenText.h"

#include <QPainter>

namespace kd {

namespace {

constexpr int kMarkWidth = 9;

// One-pixel rectangle: top and left edges in topLeft, bottom and right in
// bottomRight; the area then shrinks by one pixel on each side.
void frameRing(QPainter& canvas, QRect& area, const QColor& topLeft, const QColor& bottomRight) {
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    canvas.fillRect(l, t, w - 1, 1, topLeft);
    canvas.fillRect(l, t, 1, h - 1, topLeft);
    canvas.fillRect(area.right(), t, 1, h, bottomRight);
    canvas.fillRect(l, area.bottom(), w, 1, bottomRight);
    area.adjust(1, 1, -1, -1);
}

QBrush checkered(const QColor& a, const QColor& b) {
    QImage pattern(2, 2, QImage::Format_RGB32);
    pattern.setPixelColor(0, 0, a);
    pattern.setPixelColor(1, 1, a);
    pattern.setPixelColor(1, 0, b);
    pattern.setPixelColor(0, 1, b);
    return QBrush(pattern);
}

// A 7-pixel-wide arrow pointing down: rows of 7, 5, 3 and 1 pixels.
void drawArrow(QPainter& canvas, QPoint at, const QColor& color) {
    for (int row = 0; row < 4; ++row)
        canvas.fillRect(at.x() + row, at.y() + row, 7 - 2 * row, 1, color);
}

// Draws in the colour; a disabled look is highlight one pixel right and down under
// shadow in place.
template <typename Draw>
void drawMaybeDisabled(bool enabled, const QColor& color, const QPalette& palette, Draw draw) {
    if (enabled) {
        draw(QPoint(0, 0), color);
        return;
    }
    draw(QPoint(1, 1), ColorToRGB(clBtnHighlight, palette));
    draw(QPoint(0, 0), ColorToRGB(clBtnShadow, palette));
}

} // namespace

void TKitSpeedButton::stateFixUp() {
    if (!isEnabled()) {
        state_ = TButtonState::bsDisabled;
        dragging_ = false;
    } else if (state_ == TButtonState::bsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
}

TButtonState TKitSpeedButton::drawnState() const {
    return flat_ && !mouseInControl_ ? TButtonState::bsInactive : state_;
}

void TKitSpeedButton::drawFrame(QPainter& canvas, QRect& content, TButtonState drawn) const {
    if (drawn == TButtonState::bsInactive && state_ != TButtonState::bsExclusive) {
        content.adjust(2, 2, -2, -2);
        return;
    }
    const QPalette& pal = palette();
    const QColor frame = pal.color(QPalette::Shadow);
    const QColor light = ColorToRGB(clBtnHighlight, pal);
    const QColor shadow = ColorToRGB(clBtnShadow, pal);
    const QColor face = ColorToRGB(clBtnFace, pal);
    const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive;
    const bool newStyle = style_ != TButtonStyle::bsWin31;
    if (pressed) {
        if (flat_) {
            frameRing(canvas, content, frame, light);
        } else if (newStyle) {
            frameRing(canvas, content, frame, light);
            frameRing(canvas, content, shadow, face);
        } else {
            frameRing(canvas, content, frame, frame);
            canvas.fillRect(content.left(), content.top(), content.width(), 1, shadow);
            canvas.fillRect(content.left(), content.top(), 1, content.height(), shadow);
            content.adjust(1, 1, -1, -1);
        }
    } else if (flat_) {
        frameRing(canvas, content, light, newStyle ? shadow : frame);
    } else if (newStyle) {
        frameRing(canvas, content, light, frame);
        frameRing(canvas, content, face, shadow);
    } else {
        frameRing(canvas, content, frame, frame);
        frameRing(canvas, content, light, shadow);
    }
}

void TKitSpeedButton::paintButton(QPainter& canvas) {
    stateFixUp();
    const TButtonState drawn = drawnState();
    const QPalette& pal = palette();
    canvas.fillRect(rect(), ColorToRGB(clBtnFace, pal));
    if (transparent_)
        PaintParentBackground(this, canvas);
    QRect content = rect();
    drawFrame(canvas, content, drawn);
    if (state_ == TButtonState::bsExclusive && !transparent_ &&
        !(flat_ && drawn != TButtonState::bsInactive))
        canvas.fillRect(content.adjusted(-1, -1, 1, 1),
                        checkered(ColorToRGB(clBtnFace, pal), ColorToRGB(clBtnHighlight, pal)));
    if (state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive)
        content.translate(1, 1);
    const TButtonState imageState =
        grayedInactive_ && state_ != TButtonState::bsDisabled ? drawn : state_;
    drawContent(canvas, content, imageState);
}

void TKitSpeedButton::drawContent(QPainter& canvas, QRect content, TButtonState imageState) {
    const QPalette& pal = palette();
    const QImage image = glyph_.image(imageState, pal);
    const QSize imageSize = image.isNull() ? QSize(0, 0) : image.size();
    const bool mark = markDropDown_ && menu_;
    const bool horizontal =
        layout_ == TButtonLayout::blGlyphLeft || layout_ == TButtonLayout::blGlyphRight;
    const int W = content.width();
    const int H = content.height();
    const int fixedMargin = margin_ != -1 ? margin_ : 0;
    const int fixedSpacing = spacing_ != -1 ? spacing_ : 0;
    const int textWidth = std::max(0, horizontal ? W - imageSize.width() - fixedMargin -
                                                       fixedSpacing - (mark ? kMarkWidth : 0)
                                                 : W);
    const int textHeight =
        std::max(0, horizontal ? H : H - imageSize.height() - fixedMargin - fixedSpacing);

    const QFontMetrics metrics(font());
    QString text = caption_;
    if (!wordWrap_) {
        QStringList lines = text.split('\n');
        for (QString& line : lines) {
            line = ShortenTextToWidth(line, metrics, textWidth);
            while (line.endsWith(' '))
                line.chop(1);
        }
        text = lines.join('\n');
    }
    const int alignFlag = alignment_ == TTextAlignment::taLeftJustify    ? Qt::AlignLeft
                          : alignment_ == TTextAlignment::taRightJustify ? Qt::AlignRight
                                                                         : Qt::AlignHCenter;
    const int textFlags =
        alignFlag | Qt::AlignVCenter | Qt::TextShowMnemonic | (wordWrap_ ? Qt::TextWordWrap : 0);
    QSize textSize(0, 0);
    if (!text.isEmpty()) {
        const QRect bounds =
            metrics.boundingRect(QRect(0, 0, textWidth, textHeight), textFlags, text);
        textSize =
            QSize(std::min(bounds.width(), textWidth), std::min(bounds.height(), textHeight));
    }
    const int plainTextWidth = textSize.width();
    QSize glyphBox = imageSize;
    if (mark) {
        if (image.isNull() || layout_ == TButtonLayout::blGlyphLeft)
            textSize.rwidth() += kMarkWidth;
        else
            glyphBox.rwidth() += 6;
    }

    QPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.setY((H - glyphBox.height()) / 2);
        textPos.setY((H - textSize.height()) / 2);
    } else {
        glyphPos.setX((W - glyphBox.width()) / 2);
        textPos.setX((W - textSize.width()) / 2);
    }
    const int axis = horizontal ? W : H;
    const int glyphAxis = horizontal ? glyphBox.width() : glyphBox.height();
    const int textAxis = horizontal ? textSize.width() : textSize.height();
    int margin = margin_;
    int spacing = textSize.width() == 0 || glyphBox.width() == 0 ? 0 : spacing_;
    if (margin == -1 && spacing == -1)
        margin = spacing = (axis - glyphAxis - textAxis) / 3;
    else if (margin == -1)
        margin = axis / 2 - (glyphAxis + spacing + textAxis) / 2;
    else if (spacing == -1)
        spacing = (axis - margin - glyphAxis) / 2 - textAxis / 2;
    int glyphAt = margin;
    int textAt = margin + glyphAxis + spacing;
    if (layout_ == TButtonLayout::blGlyphRight || layout_ == TButtonLayout::blGlyphBottom) {
        glyphAt = axis - margin - glyphAxis;
        textAt = glyphAt - spacing - textAxis;
    }
    (horizontal ? glyphPos.rx() : glyphPos.ry()) = glyphAt;
    (horizontal ? textPos.rx() : textPos.ry()) = textAt;
    glyphPos += content.topLeft();
    textPos += content.topLeft();

    if (!image.isNull())
        canvas.drawImage(glyphPos, image);
    if (!text.isEmpty()) {
        const QRect textRect(textPos, QSize(plainTextWidth, textSize.height()));
        drawMaybeDisabled(isEnabled(), ColorToRGB(clBtnText, pal), pal,
                          [&](QPoint shift, const QColor& color) {
                              canvas.setPen(color);
                              canvas.drawText(textRect.translated(shift), textFlags, text);
                          });
    }
    if (mark) {
        QPoint at;
        if (!image.isNull() && layout_ != TButtonLayout::blGlyphLeft)
            at = QPoint(glyphPos.x() + imageSize.width() + 1,
                        glyphPos.y() + imageSize.height() / 2 - 2);
        else if (!text.isEmpty())
            at = QPoint(textPos.x() + plainTextWidth + 3, textPos.y() + textSize.height() / 2 - 2);
        else
            at = content.topLeft() + QPoint((W - 7) / 2, (H - 4) / 2);
        drawMaybeDisabled(
            isEnabled(), ColorToRGB(clBtnText, pal), pal,
            [&](QPoint shift, const QColor& color) { drawArrow(canvas, at + shift, color); });
    }
}

} // namespace kd
