#pragma once
#include "widgets/typed/FormatSettings.h"

#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <memory>

namespace kd {

class TKitSpinButton;
class TKitUpDown;

enum TValueType { vtInteger, vtFloat, vtHex };
enum TSpinButtonKind { bkStandard, bkDiagonal };

// A numeric edit with step buttons: the diagonal spin button (or the standard up-down),
// Up and Down keys stepping, only number characters typed, and on leaving a value out of
// bounds brought to the nearer bound. Its value lives in its text.
class TKitSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TKitSpinEdit(QWidget* parent = nullptr);
    ~TKitSpinEdit() override;

    // The text as a number; a text that is no number reads as MinValue. A number too
    // large for its type still reads as a number that large, so that the bounds bring
    // it back to the nearer one.
    double Value() const;
    // Writes the value brought into the bounds: integers rounded half to even.
    void setValue(double value);
    // The value brought into the bounds; equal bounds bound nothing.
    double CheckValue(double value) const;

    double MinValue() const { return minValue_; }
    void setMinValue(double value) { minValue_ = value; }
    double MaxValue() const { return maxValue_; }
    void setMaxValue(double value) { maxValue_ = value; }
    double Increment() const { return increment_; }
    void setIncrement(double value) { increment_ = value; }
    std::uint8_t Decimal() const { return decimal_; }
    void setDecimal(std::uint8_t value);
    TValueType ValueType() const { return valueType_; }
    void setValueType(TValueType value);
    bool EditorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool value);
    bool ArrowKeys() const { return arrowKeys_; }
    void setArrowKeys(bool value) { arrowKeys_ = value; }
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void setButtonKind(TSpinButtonKind value);
    void setFormat(const FormatSettings& format) { format_ = format; }

    // The step controls: the diagonal button or the up-down, whichever is built.
    TKitSpinButton* spinButton() const { return button_.get(); }
    TKitUpDown* upDown() const { return upDown_.get(); }

    virtual bool CharAllowed(QChar key) const;
    virtual void StepUp();
    virtual void StepDown();

    void setOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    void setOnTopClick(std::function<void()> handler) { onTopClick_ = std::move(handler); }
    void setOnBottomClick(std::function<void()> handler) { onBottomClick_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(double delta, const std::function<void()>& after);
    void recreateButton();
    void resizeButton();

    double minValue_ = 0;
    double maxValue_ = 0;
    double increment_ = 1;
    std::uint8_t decimal_ = 2;
    bool editorEnabled_ = true;
    TValueType valueType_ = vtInteger;
    bool arrowKeys_ = true;
    bool changing_ = false;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    FormatSettings format_;
    std::unique_ptr<TKitUpDown> upDown_;
    std::unique_ptr<TKitSpinButton> button_;
    std::function<void()> onChange_;
    std::function<void()> onTopClick_;
    std::function<void()> onBottomClick_;
};

} // namespace kd
