#include "widgets/menu/TKitPopupMenu.h"

#include "widgets/cursors/KitCursors.h"
#include "widgets/draw/Gradient.h"
#include "widgets/menu/KitMenuStyle.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>

namespace kd {

namespace {

const char* const kImageIndexProperty = "ImageIndex";

} // namespace

TKitPopupMenu::TKitPopupMenu(QWidget* parent)
    : QMenu(parent), kitStyle_(std::make_unique<KitMenuStyle>()) {
    connect(this, &QMenu::hovered, this, &TKitPopupMenu::highlightCursor);
    connect(this, &QMenu::aboutToHide, this, [this] {
        unsetCursor();
        setLayoutDirection(savedDirection_);
    });
}

TKitPopupMenu::~TKitPopupMenu() {
    // Back to the application's style before the menu's own goes.
    QWidget::setStyle(nullptr);
}

bool TKitPopupMenu::IsOwnerDrawMenu() const {
    return style_ != TKitMenuStyle::msStandard || (images_ && images_->Count() > 0);
}

void TKitPopupMenu::setStyle(TKitMenuStyle style) {
    if (style == style_)
        return;
    style_ = style;
    UpdateOwnerDraw(IsOwnerDrawMenu());
}

void TKitPopupMenu::setImages(KitImageList* images) {
    if (images == images_)
        return;
    const bool was = IsOwnerDrawMenu();
    if (images_) {
        disconnect(imagesChanged_);
        disconnect(images_, &QObject::destroyed, this, nullptr);
    }
    images_ = images;
    if (images) {
        imagesChanged_ = connect(images, &KitImageList::changed, this, [this] {
            UpdateOwnerDraw(IsOwnerDrawMenu());
            update();
        });
        connect(images, &QObject::destroyed, this, [this] {
            images_ = nullptr;
            UpdateOwnerDraw(IsOwnerDrawMenu());
        });
    }
    if (was != IsOwnerDrawMenu())
        UpdateOwnerDraw(IsOwnerDrawMenu());
}

void TKitPopupMenu::setLeftMargin(unsigned value) {
    leftMargin_ = value;
    updateMargins();
}

void TKitPopupMenu::UpdateOwnerDraw(bool value) {
    if (value == ownerDraw_)
        return;
    ownerDraw_ = value;
    QWidget::setStyle(value ? kitStyle_.get() : nullptr);
    updateMargins();
}

void TKitPopupMenu::updateMargins() {
    // The top-level items start right of the margin band and one pixel more.
    const int left = ownerDraw_ && leftMargin_ > 0 ? static_cast<int>(leftMargin_) + 1 : 0;
    setContentsMargins(left, 0, 0, 0);
}

void TKitPopupMenu::Popup(int x, int y) {
    popupPoint_ = QPoint(x, y);
    savedDirection_ = layoutDirection();
    const QWidget* under = QApplication::widgetAt(popupPoint_);
    setLayoutDirection(under ? under->layoutDirection() : QGuiApplication::layoutDirection());
    if (OnPopup)
        OnPopup(*this);
    if (IsOwnerDrawMenu())
        UpdateOwnerDraw(true);
    TPopupAlignment alignment = alignment_;
    if (layoutDirection() == Qt::RightToLeft && alignment != TPopupAlignment::paCenter)
        alignment = alignment == TPopupAlignment::paLeft ? TPopupAlignment::paRight
                                                         : TPopupAlignment::paLeft;
    QPoint at = popupPoint_;
    if (alignment == TPopupAlignment::paRight)
        at.rx() -= sizeHint().width();
    else if (alignment == TPopupAlignment::paCenter)
        at.rx() -= sizeHint().width() / 2;
    popup(at);
}

void TKitPopupMenu::FillMargin(QPainter& canvas, const QRect& rect, const QColor& startColor,
                               const QColor& endColor) const {
    FillGradientRect(canvas, rect.adjusted(0, 0, -3, 0), startColor, endColor,
                     TGradientDirection::TopToBottom, 32);
    // Lines end before their last pixel: the band's last column is right() here.
    canvas.save();
    canvas.setPen(ColorToRGB(clBtnShadow, palette()));
    canvas.drawLine(rect.right() - 1, rect.top(), rect.right() - 1, rect.bottom());
    canvas.setPen(ColorToRGB(clBtnHighlight, palette()));
    canvas.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    canvas.restore();
}

int TKitPopupMenu::ImageIndex(const QAction* item) {
    const QVariant index = item->property(kImageIndexProperty);
    return index.isValid() ? index.toInt() : -1;
}

void TKitPopupMenu::setImageIndex(QAction* item, int index) {
    item->setProperty(kImageIndexProperty, index);
}

void TKitPopupMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    // The menu's style finds the item here to hand it back for drawing and measuring.
    if (ownerDraw_)
        option->styleObject = const_cast<QAction*>(action);
}

void TKitPopupMenu::paintEvent(QPaintEvent* event) {
    QMenu::paintEvent(event);
    if (!ownerDraw_ || leftMargin_ == 0)
        return;
    QPainter painter(this);
    const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    canvas_ = &painter;
    DrawMargin(QRect(frame, frame, static_cast<int>(leftMargin_), height() - 2 * frame));
    canvas_ = nullptr;
}

void TKitPopupMenu::DrawMargin(const QRect& rect) {
    if (OnDrawMargin) {
        OnDrawMargin(*this, rect);
        return;
    }
    const QColor blue = ColorToRGB(clBlue);
    FillMargin(*canvas_, rect, blue, QColor(blue.red() >> 2, blue.green() >> 2, blue.blue() >> 2));
}

TMenuOwnerDrawState TKitPopupMenu::itemState(const QAction* item, bool selected) const {
    TMenuOwnerDrawState state;
    if (selected)
        state |= TMenuOwnerDrawStateFlag::odSelected;
    if (!item->isEnabled())
        state |= TMenuOwnerDrawStateFlag::odDisabled | TMenuOwnerDrawStateFlag::odGrayed;
    if (item->isChecked())
        state |= TMenuOwnerDrawStateFlag::odChecked;
    if (defaultAction() == item)
        state |= TMenuOwnerDrawStateFlag::odDefault;
    return state;
}

KitMenuItemParams TKitPopupMenu::GetItemParams(QAction* item, TMenuOwnerDrawState state) {
    KitMenuItemParams params;
    params.font = font();
    params.font.setBold(state.testFlag(TMenuOwnerDrawStateFlag::odDefault));
    if (state.testFlag(TMenuOwnerDrawStateFlag::odSelected) && !isButtonStyle(style_)) {
        params.color = clHighlight;
        params.fontColor = clHighlightText;
    }
    if (OnGetItemParams)
        OnGetItemParams(*this, item, state, params.font, params.fontColor, params.color,
                        params.graphic, params.numGlyphs);
    if (item->isSeparator())
        params.graphic = TPicture();
    params.imageIndex = ImageIndex(item);
    if (images_ && !item->isSeparator() && OnGetImageIndex)
        OnGetImageIndex(*this, item, state, params.imageIndex);
    return params;
}

void TKitPopupMenu::paintItem(QPainter& painter, QAction* item, const QRect& rect, bool selected) {
    painter.save();
    painter.setClipRect(rect);
    canvas_ = &painter;
    DrawItem(item, rect, itemState(item, selected));
    canvas_ = nullptr;
    painter.restore();
}

void TKitPopupMenu::DrawItem(QAction* item, const QRect& rect, TMenuOwnerDrawState state) {
    const KitMenuItemParams params = GetItemParams(item, state);
    if (params.color != clNone)
        canvas_->fillRect(rect, ColorToRGB(params.color, palette()));
    if (OnDrawItem)
        OnDrawItem(*this, item, rect, state);
    else
        KitMenuItemLayout(*this, item, params, state).draw(*canvas_, rect);
}

QSize TKitPopupMenu::measureItem(QAction* item) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    canvas_ = &painter;
    const TMenuOwnerDrawState state = itemState(item, false);
    const KitMenuItemParams params = GetItemParams(item, state);
    painter.setFont(params.font);
    const QSize size = KitMenuItemLayout(*this, item, params, state).measure();
    int width = size.width();
    int height = size.height();
    if (OnMeasureItem)
        OnMeasureItem(*this, item, width, height);
    canvas_ = nullptr;
    return QSize(width, height);
}

void TKitPopupMenu::highlightCursor(QAction* item) {
    if (cursor_ != 0 && item)
        QWidget::setCursor(KitCursor(cursor_));
    else
        unsetCursor();
}

} // namespace kd
