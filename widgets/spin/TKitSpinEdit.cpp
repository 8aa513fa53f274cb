#include "widgets/spin/TKitSpinEdit.h"

#include "widgets/spin/TKitSpinButton.h"
#include "widgets/spin/TKitUpDown.h"
#include "widgets/typed/FocusReturn.h"

#include <QApplication>
#include <QKeyEvent>
#include <cmath>

namespace kd {

TKitSpinEdit::TKitSpinEdit(QWidget* parent) : QLineEdit(QStringLiteral("0"), parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!changing_ && onChange_)
            onChange_();
    });
    recreateButton();
}

// The step controls go before the edit, so no step reaches a half-destroyed edit.
TKitSpinEdit::~TKitSpinEdit() {
    button_.reset();
    upDown_.reset();
}

double TKitSpinEdit::Value() const {
    bool ok = false;
    double value = 0;
    switch (valueType_) {
    case vtFloat:
        if (const auto number = format_.parseFloat(text()))
            return *number;
        return minValue_;
    case vtHex:
        value = static_cast<double>(text().trimmed().toLongLong(&ok, 16));
        break;
    case vtInteger:
        value = static_cast<double>(text().trimmed().toLongLong(&ok, 10));
        break;
    }
    return ok ? value : std::trunc(minValue_);
}

double TKitSpinEdit::CheckValue(double value) const {
    if (maxValue_ == minValue_)
        return value;
    return value < minValue_ ? minValue_ : value > maxValue_ ? maxValue_ : value;
}

void TKitSpinEdit::setValue(double value) {
    value = CheckValue(value);
    switch (valueType_) {
    case vtFloat:
        setText(format_.formatFixed(value, 15, decimal_));
        break;
    case vtHex:
        setText(QString::number(static_cast<qint64>(std::nearbyint(value)), 16).toUpper());
        break;
    case vtInteger:
        setText(QString::number(static_cast<qint64>(std::nearbyint(value))));
        break;
    }
}

void TKitSpinEdit::setDecimal(std::uint8_t value) {
    if (decimal_ == value)
        return;
    decimal_ = value;
    setValue(Value());
}

void TKitSpinEdit::setValueType(TValueType value) {
    if (valueType_ == value)
        return;
    valueType_ = value;
    setValue(Value());
    if (valueType_ != vtFloat) {
        increment_ = std::nearbyint(increment_);
        if (increment_ == 0)
            increment_ = 1;
    }
}

void TKitSpinEdit::setEditorEnabled(bool value) {
    editorEnabled_ = value;
    // Without the editor, no cut or paste through the menu or drag and drop.
    setContextMenuPolicy(value ? Qt::DefaultContextMenu : Qt::NoContextMenu);
    setAcceptDrops(value);
    setDragEnabled(false);
}

void TKitSpinEdit::setButtonKind(TSpinButtonKind value) {
    if (buttonKind_ == value)
        return;
    buttonKind_ = value;
    recreateButton();
}

bool TKitSpinEdit::CharAllowed(QChar key) const {
    if (!editorEnabled_)
        return key.unicode() < 32 && key != u'\b';
    if (key.unicode() < 32)
        return true;
    if (key == u'+' || key == u'-' || (key >= u'0' && key <= u'9'))
        return true;
    if (valueType_ == vtFloat)
        return (key == format_.DecimalSeparator && !text().contains(format_.DecimalSeparator)) ||
               ((key == u'E' || key == u'e') && !text().toUpper().contains(u'E'));
    if (valueType_ == vtHex)
        return (key >= u'A' && key <= u'F') || (key >= u'a' && key <= u'f');
    return false;
}

void TKitSpinEdit::step(double delta, const std::function<void()>& after) {
    if (isReadOnly()) {
        QApplication::beep();
        return;
    }
    const QString before = text();
    changing_ = true;
    try {
        setValue(Value() + delta);
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        if (onChange_)
            onChange_();
    }
    if (after)
        after();
}

void TKitSpinEdit::StepUp() {
    step(increment_, onTopClick_);
}

void TKitSpinEdit::StepDown() {
    step(-increment_, onBottomClick_);
}

void TKitSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (arrowKeys_ && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        event->key() == Qt::Key_Up ? StepUp() : StepDown();
        event->accept();
        return;
    }
    const bool changesText = event->matches(QKeySequence::Paste) ||
                             event->matches(QKeySequence::Cut) || event->key() == Qt::Key_Delete;
    if (changesText && (!editorEnabled_ || isReadOnly())) {
        event->accept();
        return;
    }
    const QString typed = event->text();
    const QChar key = event->key() == Qt::Key_Backspace ? QChar(u'\b')
                      : typed.isEmpty()                 ? QChar()
                                                        : typed.front();
    if (!key.isNull() && !CharAllowed(key)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TKitSpinEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason)
        selectAll();
}

void TKitSpinEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (FocusReturn::inProgress())
        return;
    const double value = Value();
    if (CheckValue(value) != value)
        setValue(value);
}

void TKitSpinEdit::recreateButton() {
    button_.reset();
    upDown_.reset();
    if (buttonKind_ == bkStandard) {
        upDown_ = std::make_unique<TKitUpDown>(this);
        upDown_->setOnClick([this](TUDBtnType button) {
            if ((focusPolicy() & Qt::TabFocus) && isEnabled() && isVisible())
                setFocus(Qt::MouseFocusReason);
            button == TUDBtnType::btNext ? StepUp() : StepDown();
        });
        upDown_->show();
    } else {
        button_ = std::make_unique<TKitSpinButton>(this);
        button_->setFocusControl(this);
        button_->setOnTopClick([this] { StepUp(); });
        button_->setOnBottomClick([this] { StepDown(); });
        button_->show();
    }
    resizeButton();
}

void TKitSpinEdit::resizeButton() {
    int buttonWidth = TKitUpDown::DefaultButtonWidth();
    if (upDown_) {
        upDown_->setGeometry(width() - buttonWidth - 1, 1, buttonWidth, height() - 2);
    } else if (button_) {
        buttonWidth = std::max(0, height() - 2);
        button_->setGeometry(width() - buttonWidth - 1, 1, buttonWidth, buttonWidth);
    }
    setTextMargins(0, 0, buttonWidth + 2, 0);
}

void TKitSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    resizeButton();
}

} // namespace kd
