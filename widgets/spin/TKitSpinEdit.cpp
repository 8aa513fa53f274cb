#include "widgets/spin/TKitSpinEdit.h"

#include "widgets/spin/TKitSpinButton.h"
#include "widgets/spin/TKitUpDown.h"
#include "widgets/typed/FocusReturn.h"

#include <QApplication>
#include <QKeyEvent>
#include <cmath>
#include <limits>
#include <optional>

namespace kd {
namespace {

// The value of an ASCII digit or letter (a and A are 10), -1 for anything else.
int digitValue(QChar c) {
    const char16_t u = c.toLower().unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 10;
    return -1;
}

// A whole number in the base, blanks around it and a sign in front allowed. One too
// large for 64 bits still reads, as the nearest double (an infinity past the doubles),
// so that the bounds bring it back rather than it reading as no number.
std::optional<double> wholeNumber(const QString& text, int base) {
    const QString plain = text.trimmed();
    bool ok = false;
    const qlonglong exact = plain.toLongLong(&ok, base);
    if (ok)
        return static_cast<double>(exact);
    qsizetype i = 0;
    const bool negative = plain.startsWith(u'-');
    if (negative || plain.startsWith(u'+'))
        ++i;
    if (i == plain.size())
        return std::nullopt;
    double value = 0;
    for (; i < plain.size(); ++i) {
        const int digit = digitValue(plain[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
    }
    return negative ? -value : value;
}

// The value rounded half to even, within the 64-bit integers.
qint64 roundedInteger(double value) {
    constexpr double limit = 9223372036854775808.0; // 2^63
    const double rounded = std::nearbyint(value);
    if (rounded >= limit)
        return std::numeric_limits<qint64>::max();
    if (rounded < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(rounded);
}

} // namespace

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
    std::optional<double> value;
    switch (valueType_) {
    case vtFloat:
        value = format_.parseFloatSaturated(text());
        break;
    case vtHex:
        value = wholeNumber(text(), 16);
        break;
    case vtInteger:
        value = wholeNumber(text(), 10);
        break;
    }
    if (value)
        return *value;
    return valueType_ == vtFloat ? minValue_ : std::trunc(minValue_);
}

double TKitSpinEdit::CheckValue(double value) const {
    if (maxValue_ == minValue_)
        return value;
    return value < minValue_ ? minValue_ : value > maxValue_ ? maxValue_ : value;
}

void TKitSpinEdit::setValue(double value) {
    if (std::isnan(value))
        value = minValue_;
    value = CheckValue(value);
    switch (valueType_) {
    case vtFloat:
        setText(format_.formatFixed(value, 15, decimal_));
        break;
    case vtHex:
        setText(QString::number(roundedInteger(value), 16).toUpper());
        break;
    case vtInteger:
        setText(QString::number(roundedInteger(value)));
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
