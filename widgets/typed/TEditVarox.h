#pragma once
#include "widgets/typed/FormatSettings.h"
#include "widgets/typed/TabExitKeys.h"

#include <QLineEdit>
#include <cstdint>

class QToolButton;

namespace kd {

class UiHost;

enum TEditType { ttString, ttInteger, ttFloat, ttDate, ttTime };

// A one-line edit that knows the kind of data it holds. Setting the text, and leaving
// the field, checks it, completes abbreviated dates and times and reformats numbers; an
// invalid text is reported and keeps the focus in the field. Enter acts as Tab. Its text
// is data, never translated; the texts of its error box are the form's.
class TEditVarox : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString ErrorText READ ErrorText WRITE setErrorText)
    Q_PROPERTY(QString ErrorCaption READ ErrorCaption WRITE setErrorCaption)
public:
    explicit TEditVarox(QWidget* parent = nullptr);

    QString GetText() const { return text(); }
    // Checks, completes and reformats the value by EditType, then shows it; an invalid
    // value is reported and shown as it is (a date or time that could not be completed
    // as an empty text). False when invalid.
    bool SetText(const QString& value);
    // The text as a 32-bit integer; an invalid text is reported and gives 0.
    std::int32_t GetInteger();

    TEditType EditType() const { return editType_; }
    void setEditType(TEditType value) { editType_ = value; }
    std::uint8_t FloatPrecision() const { return floatPrecision_; }
    void setFloatPrecision(std::uint8_t value) { floatPrecision_ = value; }
    std::uint8_t FloatDigits() const { return floatDigits_; }
    void setFloatDigits(std::uint8_t value) { floatDigits_ = value; }
    const QString& BlankDate() const { return blankDate_; }
    void setBlankDate(const QString& value);
    const QString& BlankTime() const { return blankTime_; }
    void setBlankTime(const QString& value);
    // The alignment while the field does not have the focus (left while it has it).
    Qt::Alignment Alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment value);
    bool ConvertDecimalSymbol() const { return convertDecimalSymbol_; }
    void setConvertDecimalSymbol(bool value) { convertDecimalSymbol_ = value; }
    bool EnterIsTab() const { return keys_.EnterIsTab; }
    void setEnterIsTab(bool value) { keys_.EnterIsTab = value; }
    // The text and caption of the box that reports invalid data.
    const QString& ErrorText() const { return errorText_; }
    void setErrorText(const QString& value) { errorText_ = value; }
    const QString& ErrorCaption() const { return errorCaption_; }
    void setErrorCaption(const QString& value) { errorCaption_ = value; }

    // The small button at the right edge, hidden until asked for.
    bool ButtonVisible() const { return buttonVisible_; }
    void setButtonVisible(bool value);
    int ButtonWidth() const { return buttonWidth_; }
    void setButtonWidth(int value);
    int NumGlyphs() const { return numGlyphs_; }
    void setNumGlyphs(int value) { numGlyphs_ = value; }
    // An empty image clears the glyph.
    void setGlyph(const QImage& glyph);

    void setOnClickButton(std::function<void()> handler) { onClickButton_ = std::move(handler); }
    void setOnClickSpace(std::function<void()> handler) { keys_.OnClickSpace = std::move(handler); }
    void setOnTabExit(TTabExitEvent handler) { keys_.OnTabExit = std::move(handler); }
    // Fired when the focus leaves the field with a valid text.
    void setOnExit(std::function<void()> handler) { onExit_ = std::move(handler); }

    // Where errors are reported (a message box without one), the formats and today's date.
    void setUiHost(UiHost* host) { ui_ = host; }
    void setFormat(const FormatSettings& format) { format_ = format; }
    void setToday(std::function<QDate()> today) { today_ = std::move(today); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The checked, completed or reformatted text, and whether it is valid.
    std::pair<QString, bool> checked(const QString& value) const;
    void showError();
    void layoutButton();

    TabExitKeys keys_;
    TEditType editType_ = ttString;
    std::uint8_t floatPrecision_ = 0;
    std::uint8_t floatDigits_ = 0;
    QString blankDate_;
    QString blankTime_;
    QString errorText_;
    QString errorCaption_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    bool convertDecimalSymbol_ = false;
    bool buttonVisible_ = false;
    int buttonWidth_ = 15;
    int numGlyphs_ = 1;
    QToolButton* button_;
    std::function<void()> onClickButton_;
    std::function<void()> onExit_;
    UiHost* ui_ = nullptr;
    FormatSettings format_;
    std::function<QDate()> today_ = [] { return QDate::currentDate(); };
};

} // namespace kd
