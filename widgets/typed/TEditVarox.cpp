#include "widgets/typed/TEditVarox.h"

#include "platform/UiHost.h"
#include "widgets/typed/CompleteDateTime.h"
#include "widgets/typed/FocusReturn.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QToolButton>
#include <cmath>

namespace kd {
namespace {

const char* const kErrorText = " Chybný formát dat ";
const char* const kErrorCaption = "Chyba";

bool isInteger(const QString& text) {
    bool ok = false;
    text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

TEditVarox::TEditVarox(QWidget* parent)
    : QLineEdit(parent), errorText_(QString::fromUtf8(kErrorText)),
      errorCaption_(QString::fromUtf8(kErrorCaption)), button_(new QToolButton(this)) {
    button_->setCursor(Qt::ArrowCursor);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->hide();
    connect(button_, &QToolButton::clicked, this, [this] {
        if (onClickButton_)
            onClickButton_();
    });
    layoutButton();
}

std::pair<QString, bool> TEditVarox::checked(const QString& value) const {
    switch (editType_) {
    case ttString:
        return {value, true};
    case ttInteger:
        return {value, value.isEmpty() || isInteger(value)};
    case ttFloat: {
        if (value.isEmpty() || floatPrecision_ == 0)
            return {value, true};
        const auto number = format_.parseFloat(value);
        if (!number)
            return {value, false};
        return {format_.formatFixed(*number, floatPrecision_, floatDigits_), true};
    }
    case ttDate: {
        if (value.isEmpty() || value == blankDate_)
            return {blankDate_, true};
        const QString completed = CompleteDate(value, today_(), format_);
        return {completed, format_.parseDate(completed).has_value()};
    }
    case ttTime: {
        if (value.isEmpty() || value == blankTime_)
            return {blankTime_, true};
        const QString completed = CompleteTime(value, format_);
        return {completed, format_.parseTime(completed).has_value()};
    }
    }
    return {value, true};
}

bool TEditVarox::SetText(const QString& value) {
    const auto [shown, valid] = checked(value);
    if (!valid)
        showError();
    setText(shown);
    return valid;
}

std::int32_t TEditVarox::GetInteger() {
    bool ok = false;
    const int value = text().trimmed().toInt(&ok);
    if (!ok)
        showError();
    return ok ? value : 0;
}

void TEditVarox::showError() {
    if (ui_)
        ui_->messageBox(errorText_.toStdString(), errorCaption_.toStdString(), MsgButtons::Ok,
                        MsgIcon::Error);
    else
        QMessageBox::critical(this, errorCaption_, errorText_);
}

void TEditVarox::setBlankDate(const QString& value) {
    const bool shown = editType_ == ttDate && (text().isEmpty() || text() == blankDate_);
    blankDate_ = value;
    if (shown)
        SetText(value);
}

void TEditVarox::setBlankTime(const QString& value) {
    const bool shown = editType_ == ttTime && (text().isEmpty() || text() == blankTime_);
    blankTime_ = value;
    if (shown)
        SetText(value);
}

void TEditVarox::setAlignment(Qt::Alignment value) {
    alignment_ = value;
    if (!hasFocus())
        QLineEdit::setAlignment(value);
}

void TEditVarox::setButtonVisible(bool value) {
    buttonVisible_ = value;
    button_->setVisible(value);
    layoutButton();
}

void TEditVarox::setButtonWidth(int value) {
    buttonWidth_ = std::max(15, std::min(value, width()));
    layoutButton();
}

void TEditVarox::setGlyph(const QImage& glyph) {
    button_->setIcon(glyph.isNull() ? QIcon() : QIcon(QPixmap::fromImage(glyph)));
    numGlyphs_ = 1;
}

void TEditVarox::layoutButton() {
    const int w = buttonVisible_ ? buttonWidth_ : 0;
    button_->setGeometry(width() - w - 2, 2, w, std::max(0, height() - 4));
    setTextMargins(0, 0, w, 0);
}

bool TEditVarox::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && keys_.keyPress(this, static_cast<QKeyEvent*>(event)))
        return true;
    return QLineEdit::event(event);
}

void TEditVarox::keyPressEvent(QKeyEvent* event) {
    const bool typedNumber = editType_ == ttFloat || editType_ == ttDate || editType_ == ttTime;
    if (convertDecimalSymbol_ && typedNumber && event->text() == QStringLiteral(",")) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."));
        QLineEdit::keyPressEvent(&point);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TEditVarox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    QLineEdit::setAlignment(Qt::AlignLeft | (alignment_ & Qt::AlignVertical_Mask));
    selectAll();
}

void TEditVarox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A message box or a menu taking the focus is no exit.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason ||
        FocusReturn::inProgress())
        return;
    if (!SetText(GetText())) {
        FocusReturn::takeBack(this);
        return;
    }
    QLineEdit::setAlignment(alignment_);
    if (onExit_)
        onExit_();
    keys_.exitAccepted(this);
}

void TEditVarox::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    layoutButton();
}

} // namespace kd
