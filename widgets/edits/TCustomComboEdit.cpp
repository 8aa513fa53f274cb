#include "widgets/edits/TCustomComboEdit.h"

#include "widgets/edits/EditGlyphs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace kd {

namespace {

constexpr int kDefaultButtonWidth = 21;

int minimumEditHeight(const QFont& font) {
    const int system = QFontMetrics(QApplication::font()).height();
    const int own = QFontMetrics(font).height();
    return std::min(system, own) + 4 * 1 + 1;
}

} // namespace

TCustomComboEdit::TCustomComboEdit(QWidget* parent)
    : QLineEdit(parent), container_(new QWidget(this)), button_(new TEditButton(container_, this)) {
    container_->setGeometry(0, 0, kDefaultButtonWidth, 17);
    button_->setGeometry(0, 0, kDefaultButtonWidth, 17);
    clickRoute_ =
        connect(button_, &TKitSpeedButton::clicked, this, &TCustomComboEdit::buttonClicked);
    setMinimumHeight(minimumEditHeight(font()));
    layoutButton();
}

TCustomComboEdit::~TCustomComboEdit() {
    // The button goes after the edit's own parts: no click may reach them any more.
    disconnect(clickRoute_);
}

void TCustomComboEdit::setButtonWidth(int width) {
    if (width == buttonWidth_ || width < 0)
        return;
    if (isVisible() && width >= contentsRect().width())
        return;
    buttonWidth_ = width;
    layoutButton();
    RebuildGlyph();
}

void TCustomComboEdit::setDirectInput(bool value) {
    directInput_ = value;
    QLineEdit::setReadOnly(readOnly_ || !directInput_);
}

void TCustomComboEdit::setReadOnly(bool value) {
    readOnly_ = value;
    QLineEdit::setReadOnly(readOnly_ || !directInput_);
}

void TCustomComboEdit::setGlyphKind(TGlyphKind kind) {
    if (kind == glyphKind_)
        return;
    glyphKind_ = kind;
    RebuildGlyph();
    if (kind == TGlyphKind::gkDefault && !button_->Glyph().isNull())
        setButtonWidth(std::max(button_->Glyph().width() / button_->NumGlyphs() + 6, buttonWidth_));
    else if (kind == TGlyphKind::gkDropDown)
        setButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void TCustomComboEdit::setGlyph(const QImage& glyph) {
    glyphKind_ = TGlyphKind::gkCustom;
    button_->setGlyph(glyph);
}

void TCustomComboEdit::setNumGlyphs(int count) {
    if (glyphKind_ == TGlyphKind::gkCustom)
        button_->setNumGlyphs(count);
    else if (glyphKind_ != TGlyphKind::gkDefault)
        button_->setNumGlyphs(1);
}

void TCustomComboEdit::RebuildGlyph() {
    switch (glyphKind_) {
    case TGlyphKind::gkCustom:
        return;
    case TGlyphKind::gkDefault:
        button_->setGlyph(DefaultGlyph());
        break;
    case TGlyphKind::gkDropDown:
        button_->setGlyph(DropDownGlyph());
        break;
    case TGlyphKind::gkEllipsis:
        button_->setGlyph(EllipsisGlyph(buttonWidth_));
        break;
    }
    button_->setNumGlyphs(1);
}

// The button fills the right edge inside the frame; the text stops before it.
void TCustomComboEdit::layoutButton() {
    const QRect inside = contentsRect();
    const int frame = hasFrame() ? 2 : 0;
    const int width = buttonWidth_;
    container_->setVisible(width > 1);
    container_->setGeometry(inside.right() + 1 - width - frame, frame, width,
                            std::max(0, height() - 2 * frame));
    button_->setGeometry(0, 0, width, container_->height());
    setTextMargins(0, 0, width > 1 ? width + 2 : 0, 0);
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    layoutButton();
}

void TCustomComboEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        setMinimumHeight(minimumEditHeight(font()));
}

void TCustomComboEdit::buttonClicked() {
    if (!readOnly_)
        ButtonAction();
}

void TCustomComboEdit::ButtonAction() {
    if (OnButtonClick)
        OnButtonClick(*this);
}

void TCustomComboEdit::clickDefaultButton() {
    for (auto* button : window()->findChildren<QPushButton*>())
        if (button->isDefault() && button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
}

void TCustomComboEdit::keyPressEvent(QKeyEvent* event) {
    if (event->keyCombination() == clickKey_ && buttonWidth_ > 0) {
        button_->Click();
        event->accept();
        return;
    }
    const int pressed = event->key();
    if (pressed == Qt::Key_Return || pressed == Qt::Key_Enter) {
        // The form's default button reacts first, then the key handler sees the key,
        // which produces nothing further.
        const QPointer<TCustomComboEdit> alive(this);
        clickDefaultButton();
        if (alive && OnKeyPress) {
            int key = pressed;
            OnKeyPress(*this, key);
        }
        event->accept();
        return;
    }
    if (pressed == Qt::Key_Escape) {
        int key = pressed;
        if (OnKeyPress)
            OnKeyPress(*this, key);
        event->ignore(); // on to the form's cancel handling
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomComboEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason && directInput_)
        selectAll();
}

} // namespace kd
