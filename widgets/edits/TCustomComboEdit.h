#pragma once
#include "widgets/edits/TEditButton.h"

#include <QKeyCombination>
#include <QLineEdit>
#include <functional>

namespace kd {

enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// A single-line edit with a browse button inside its right edge. The button and a
// shortcut key act; Enter and Escape first go to the form's default and cancel
// handling; the text never runs under the button.
class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    TEditButton* Button() const { return button_; }
    int ButtonWidth() const { return buttonWidth_; }
    // Refused (ignored) when not less than the edit's width once shown.
    void setButtonWidth(int width);
    QString ButtonHint() const { return button_->toolTip(); }
    void setButtonHint(const QString& hint) { button_->setToolTip(hint); }
    QKeyCombination ClickKey() const { return clickKey_; }
    void setClickKey(QKeyCombination key) { clickKey_ = key; }
    bool DirectInput() const { return directInput_; }
    void setDirectInput(bool value);
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void setGlyphKind(TGlyphKind kind);
    // Assigning a glyph makes the kind custom.
    void setGlyph(const QImage& glyph);
    int NumGlyphs() const { return button_->NumGlyphs(); }
    void setNumGlyphs(int count);

    // Called first whenever the button acts.
    std::function<void(TCustomComboEdit&)> OnButtonClick;
    // Enter (after the form's default button reacted) and Escape; a handler may set
    // the key to 0.
    std::function<void(TCustomComboEdit&, int& key)> OnKeyPress;

    // What the button does: the base calls OnButtonClick.
    virtual void ButtonAction();

protected:
    // The bitmap for the default glyph kind; none in the base.
    virtual QImage DefaultGlyph() const { return {}; }
    void RebuildGlyph();
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buttonClicked();
    void layoutButton();
    void clickDefaultButton();

    QWidget* container_;
    TEditButton* button_;
    QMetaObject::Connection clickRoute_;
    int buttonWidth_ = 21;
    QKeyCombination clickKey_{Qt::AltModifier, Qt::Key_Down};
    bool readOnly_ = false;
    bool directInput_ = true;
    TGlyphKind glyphKind_ = TGlyphKind::gkCustom;
};

} // namespace kd
