#include "widgets/menu/KitMenuItemLayout.h"

#include "widgets/draw/Emboss.h"
#include "widgets/menu/TKitPopupMenu.h"
#include "widgets/text/TextReplace.h"

#include <QActionGroup>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace kd {

namespace {

QString withoutPrefix(const QString& caption) {
    return QString::fromStdString(RemoveCharacter(caption.toStdString(), '&'));
}

// Width of a text whose tabs jump to the next stop of eight average characters.
int tabbedWidth(const QFontMetrics& metrics, const QString& text) {
    const int stop = std::max(1, 8 * metrics.averageCharWidth());
    int width = 0;
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        width += metrics.horizontalAdvance(parts[i]);
        if (i + 1 < parts.size())
            width = (width / stop + 1) * stop;
    }
    return width;
}

void frame3D(QPainter& canvas, const QRect& rect, const QColor& topLeft,
             const QColor& bottomRight) {
    canvas.setPen(topLeft);
    canvas.drawLine(rect.topLeft(), rect.topRight());
    canvas.drawLine(rect.topLeft(), rect.bottomLeft());
    canvas.setPen(bottomRight);
    canvas.drawLine(rect.bottomLeft(), rect.bottomRight());
    canvas.drawLine(rect.topRight(), rect.bottomRight());
}

} // namespace

KitMenuItemLayout::KitMenuItemLayout(const TKitPopupMenu& menu, const QAction* item,
                                     const KitMenuItemParams& params, TMenuOwnerDrawState state)
    : menu_(menu), item_(item), params_(params), state_(state), separator_(item->isSeparator()),
      checkWidth_(menu.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &menu)),
      gap_(static_cast<int>(std::lround(0.3 * checkWidth_))) {}

int KitMenuItemLayout::glyphWidth() const {
    const int glyphs = params_.numGlyphs;
    if (params_.graphic.isBitmap() && glyphs >= 2 && glyphs <= 5)
        return params_.graphic.width() / glyphs;
    return params_.graphic.width();
}

KitMenuItemLayout::Column KitMenuItemLayout::column(int& width, int minWidth) const {
    const KitImageList* images = menu_.Images();
    if (images && images->validIndex(params_.imageIndex)) {
        width = std::max(images->Width() + 2, minWidth);
        return Column::Image;
    }
    if (!params_.graphic.empty() && !separator_) {
        width = std::max(glyphWidth() + 2, minWidth);
        return Column::Graphic;
    }
    width = minWidth;
    return minWidth > 0 ? Column::Empty : Column::None;
}

void KitMenuItemLayout::draw(QPainter& canvas, const QRect& rect) const {
    const QPalette& palette = menu_.palette();
    const bool selected = state_.testFlag(TMenuOwnerDrawStateFlag::odSelected);
    const bool checked = state_.testFlag(TMenuOwnerDrawStateFlag::odChecked);
    const bool disabled = state_.testFlag(TMenuOwnerDrawStateFlag::odDisabled);
    const bool buttons = isButtonStyle(menu_.Style());
    const bool checkMarks = menu_.ShowCheckMarks();
    const QColor shadow = ColorToRGB(clBtnShadow, palette);
    const QColor light = ColorToRGB(clBtnHighlight, palette);

    int x = checkMarks ? 2 * gap_ + checkWidth_ : 2 * gap_ + 2;
    int minWidth = static_cast<int>(menu_.MinTextOffset());
    if (selected && buttons) {
        const bool lowered = menu_.Style() == TKitMenuStyle::msBtnLowered;
        frame3D(canvas, rect, lowered ? shadow : light, lowered ? light : shadow);
    }
    const QColor textColor = ColorToRGB(params_.fontColor, palette);
    if (checked && checkMarks)
        drawCheckMark(canvas, QRect(rect.left(), rect.top(), x, rect.height()), textColor);
    if (const KitImageList* images = menu_.Images())
        minWidth = std::max(minWidth, images->Width() + 2);
    int width = 0;
    const Column kind = column(width, minWidth);
    if (!checkMarks && kind != Column::None)
        x = gap_;

    if (kind != Column::None) {
        const QRect band(rect.left() + x - 1, rect.top(), width + 2, rect.height());
        if (checked && !checkMarks && !buttons) {
            const QColor menuColor = ColorToRGB(clMenu, palette);
            canvas.fillRect(band, menuColor);
            if (!selected)
                canvas.fillRect(band, QBrush(ColorToRGB(clHighlight, palette), Qt::Dense4Pattern));
            frame3D(canvas, band, shadow, light);
        }
        const QRect cell(rect.left() + x, rect.top(), width, rect.height());
        if (kind == Column::Image) {
            const KitImageList& images = *menu_.Images();
            const QPoint at(cell.left() + (cell.width() - images.Width()) / 2,
                            cell.top() + (cell.height() - images.Height()) / 2);
            if (disabled)
                DrawImageGrayed(images, canvas, at.x(), at.y(), params_.imageIndex, shadow, light,
                                true);
            else
                canvas.drawImage(at, images.image(params_.imageIndex));
        } else if (kind == Column::Graphic) {
            drawGraphic(canvas, cell);
        } else if (checked && !checkMarks) {
            drawCheckMark(canvas, cell, textColor);
        }
        x += width + gap_;
    }
    if (separator_) {
        const int y = rect.top() + rect.height() / 2;
        canvas.setPen(shadow);
        canvas.drawLine(rect.left(), y - 1, rect.right(), y - 1);
        canvas.setPen(light);
        canvas.drawLine(rect.left(), y, rect.right(), y);
        return;
    }
    drawCaption(canvas, rect, x);
}

void KitMenuItemLayout::drawGraphic(QPainter& canvas, const QRect& cell) const {
    const TPicture& graphic = params_.graphic;
    const KitBitmap* bitmap = graphic.bitmap();
    const int glyphs = params_.numGlyphs;
    if (bitmap && glyphs >= 2 && glyphs <= 5) {
        int glyph = 0;
        if (state_.testFlag(TMenuOwnerDrawStateFlag::odDisabled))
            glyph = 1;
        else if (state_.testFlag(TMenuOwnerDrawStateFlag::odChecked))
            glyph = 3;
        else if (state_.testFlag(TMenuOwnerDrawStateFlag::odSelected))
            glyph = 2;
        if (glyph >= glyphs)
            glyph = 0;
        const int w = glyphWidth();
        KitBitmap one = *bitmap;
        one.image = bitmap->image.copy(glyph * w, 0, w, bitmap->image.height());
        TPicture(one).draw(canvas, QPoint(cell.left() + (cell.width() - w) / 2,
                                          cell.top() + (cell.height() - one.image.height()) / 2));
        return;
    }
    graphic.draw(canvas, QPoint(cell.left() + (cell.width() - graphic.width()) / 2,
                                cell.top() + (cell.height() - graphic.height()) / 2));
}

void KitMenuItemLayout::drawCheckMark(QPainter& canvas, const QRect& area,
                                      const QColor& color) const {
    const bool radio = item_->actionGroup() && item_->actionGroup()->isExclusive();
    const int side = std::max(4, checkWidth_ / 2);
    const QRect mark(area.left() + (area.width() - side) / 2,
                     area.top() + (area.height() - side) / 2, side, side);
    canvas.save();
    canvas.setPen(QPen(color, 2));
    canvas.setBrush(color);
    if (radio) {
        canvas.drawEllipse(mark.adjusted(1, 1, -1, -1));
    } else {
        const QPoint points[] = {QPoint(mark.left(), mark.center().y()),
                                 QPoint(mark.left() + side / 3, mark.bottom()), mark.topRight()};
        canvas.drawPolyline(points, 3);
    }
    canvas.restore();
}

void KitMenuItemLayout::drawText(QPainter& canvas, const QRect& rect, const QString& text,
                                 int flags) const {
    const QPalette& palette = menu_.palette();
    const bool selected = state_.testFlag(TMenuOwnerDrawStateFlag::odSelected);
    const bool buttons = isButtonStyle(menu_.Style());
    if (!state_.testFlag(TMenuOwnerDrawStateFlag::odDisabled)) {
        canvas.setPen(ColorToRGB(params_.fontColor, palette));
        canvas.drawText(rect, flags, text);
        return;
    }
    // Disabled: grey text over a highlight-coloured copy one pixel right and down; a
    // highlighted item has the copy only where grey text would vanish in the highlight.
    const QColor gray = ColorToRGB(clGrayText, palette);
    const bool highlighted = selected && !buttons;
    if (!highlighted || gray == ColorToRGB(clHighlight, palette)) {
        canvas.setPen(ColorToRGB(clBtnHighlight, palette));
        canvas.drawText(rect.translated(1, 1), flags, text);
    }
    canvas.setPen(highlighted ? gray : ColorToRGB(clBtnShadow, palette));
    canvas.drawText(rect, flags, text);
}

void KitMenuItemLayout::drawCaption(QPainter& canvas, const QRect& rect, int x) const {
    canvas.setFont(params_.font);
    const QFontMetrics metrics(params_.font);
    const int textHeight = metrics.height();
    const QRect line(rect.left() + x, rect.top() + (rect.height() - textHeight) / 2,
                     std::max(0, rect.width() - x), textHeight);
    const bool rightToLeft = menu_.layoutDirection() == Qt::RightToLeft;
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs |
                      Qt::AlignVCenter | (rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    drawText(canvas, line, item_->text(), flags);
    if (hasShortcut(item_) && !item_->menu()) {
        const QRect keys = line.adjusted(widestCaption(), 0, 0, 0);
        drawText(canvas, keys, item_->shortcut().toString(QKeySequence::NativeText),
                 Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignLeft);
    }
}

bool KitMenuItemLayout::hasShortcut(const QAction* action) const {
    return !action->shortcut().isEmpty();
}

int KitMenuItemLayout::widestCaption() const {
    const QFontMetrics metrics(params_.font);
    auto width = [&](const QAction* action) {
        return tabbedWidth(metrics, withoutPrefix(action->text()) + QLatin1String("\t\t"));
    };
    if (!hasShortcut(item_))
        return width(item_);
    int widest = 0;
    for (const QAction* sibling : menu_.actions())
        if (!sibling->isSeparator())
            widest = std::max(widest, width(sibling));
    return widest;
}

int KitMenuItemLayout::widestShortcut() const {
    const QFontMetrics metrics(params_.font);
    int widest = 0;
    for (const QAction* sibling : menu_.actions())
        if (hasShortcut(sibling))
            widest = std::max(widest, metrics.horizontalAdvance(
                                          sibling->shortcut().toString(QKeySequence::NativeText)));
    return widest;
}

QSize KitMenuItemLayout::measure() const {
    const QFontMetrics metrics(params_.font);
    // The menu-bar height less 2, as new-style menus have it.
    int height = metrics.height() + 4;
    int width = 2 * gap_;
    int minWidth = static_cast<int>(menu_.MinTextOffset());
    if (const KitImageList* images = menu_.Images())
        minWidth = std::max(minWidth, images->Width() + 2);

    width += widestCaption();
    if (hasShortcut(item_))
        width += widestShortcut() + metrics.horizontalAdvance(QLatin1Char(' '));
    if (item_->menu())
        width += tabbedWidth(metrics, QStringLiteral("\t\t"));
    if (menu_.ShowCheckMarks())
        width += checkWidth_;
    if (separator_)
        return QSize(width, std::max(metrics.height() / 2, 9));
    height = std::max(height, metrics.height());

    int columnWidth = 0;
    const Column kind = column(columnWidth, minWidth);
    width += columnWidth;
    if (kind == Column::Image)
        height = std::max(height, menu_.Images()->Height() + 4);
    else if (kind == Column::Graphic)
        height = std::max(height, params_.graphic.height() + 4);
    return QSize(width, height);
}

} // namespace kd
