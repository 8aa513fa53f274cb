#pragma once
#include "widgets/buttons/TKitButtonGlyph.h"
#include "widgets/menu/TKitPopupMenu.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QTimer;

namespace kd {

enum class TKitDropDownMenuPos { dmpBottom, dmpRight };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum class TTextAlignment { taLeftJustify, taRightJustify, taCenter };

// A push button that draws itself: a glyph with up to five state images, an optional
// caption, flat or raised, radio-like groups among its siblings, a drop-down menu and
// repeated clicks while held. Every paint goes through an off-screen image.
class TKitSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TKitSpeedButton(QWidget* parent = nullptr);
    ~TKitSpeedButton() override;

    TTextAlignment Alignment() const { return alignment_; }
    void setAlignment(TTextAlignment value);
    bool AllowAllUp() const { return allowAllUp_; }
    void setAllowAllUp(bool value);
    bool AllowTimer() const { return allowTimer_; }
    void setAllowTimer(bool value);
    int GroupIndex() const { return groupIndex_; }
    void setGroupIndex(int value);
    bool Down() const { return down_; }
    void setDown(bool value);
    TKitPopupMenu* DropDownMenu() const { return menu_; }
    void setDropDownMenu(TKitPopupMenu* menu);
    TKitDropDownMenuPos MenuPosition() const { return menuPosition_; }
    void setMenuPosition(TKitDropDownMenuPos value) { menuPosition_ = value; }
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    bool Flat() const { return flat_; }
    void setFlat(bool value);
    const QImage& Glyph() const { return glyph_.Glyph(); }
    void setGlyph(const QImage& glyph) { glyph_.setGlyph(glyph); }
    bool GrayedInactive() const { return grayedInactive_; }
    void setGrayedInactive(bool value);
    int InitPause() const { return initPause_; }
    void setInitPause(int ms) { initPause_ = ms; }
    TButtonLayout Layout() const { return layout_; }
    void setLayout(TButtonLayout value);
    int Margin() const { return margin_; }
    // Values below -1 are refused (ignored); -1 centres.
    void setMargin(int value);
    bool MarkDropDown() const { return markDropDown_; }
    void setMarkDropDown(bool value);
    int ModalResult() const { return modalResult_; }
    void setModalResult(int value) { modalResult_ = value; }
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void setNumGlyphs(int value) { glyph_.setNumGlyphs(value); }
    int RepeatInterval() const { return repeatInterval_; }
    void setRepeatInterval(int ms) { repeatInterval_ = ms; }
    int Spacing() const { return spacing_; }
    void setSpacing(int value);
    TButtonStyle Style() const { return style_; }
    void setStyle(TButtonStyle value);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool value);

    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    TKitButtonGlyph& ButtonGlyph() { return glyph_; }

    // The modal result goes to the dialog holding the button, then clicked is sent.
    virtual void Click();

    QSize sizeHint() const override { return {25, 25}; }

signals:
    void clicked();
    void doubleClicked();
    void mouseEntered();
    void mouseLeft();

protected:
    // Draws the whole button into the canvas (the off-screen image).
    virtual void paintButton(QPainter& canvas);
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void redraw();
    void stateFixUp();
    TButtonState drawnState() const;
    void drawFrame(QPainter& canvas, QRect& content, TButtonState drawn) const;
    void drawContent(QPainter& canvas, QRect content, TButtonState imageState);
    void showDropDownMenu();
    void repeatTick();
    void finishPress(bool inside);
    void stopRepeat();
    void groupChanged();
    void updateMouseMark();
    void setMouseMark(bool inControl);
    void grabMnemonic();

    TKitButtonGlyph glyph_;
    TButtonState state_ = TButtonState::bsUp;
    bool dragging_ = false;
    bool mouseInControl_ = false;
    bool menuTracking_ = false;
    std::unique_ptr<QTimer> repeatTimer_;
    QPointer<TKitPopupMenu> menu_;
    int shortcutId_ = 0;

    TTextAlignment alignment_ = TTextAlignment::taCenter;
    bool allowAllUp_ = false;
    bool allowTimer_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    TKitDropDownMenuPos menuPosition_ = TKitDropDownMenuPos::dmpBottom;
    QString caption_;
    bool flat_ = false;
    bool grayedInactive_ = true;
    int initPause_ = 500;
    TButtonLayout layout_ = TButtonLayout::blGlyphTop;
    int margin_ = -1;
    bool markDropDown_ = true;
    int modalResult_ = 0;
    int repeatInterval_ = 100;
    int spacing_ = 1;
    TButtonStyle style_ = TButtonStyle::bsAutoDetect;
    bool transparent_ = false;
    bool wordWrap_ = false;
};

} // namespace kd
