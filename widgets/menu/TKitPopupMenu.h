#pragma once
#include "widgets/draw/KitColor.h"
#include "widgets/draw/KitImageList.h"
#include "widgets/draw/TPicture.h"
#include "widgets/menu/KitMenuItemLayout.h"
#include "widgets/menu/KitMenuTypes.h"

#include <QMenu>
#include <QPointer>
#include <functional>
#include <memory>

namespace kd {

class KitMenuStyle;

// A popup menu that can draw its own items: a colour band down its left margin, item
// images from an image list or a per-item graphic, check marks, button-like highlight
// styles, and events that let the owner change each item's font, colour and graphic.
// It draws its own items exactly while IsOwnerDrawMenu holds; otherwise it is a plain
// menu drawn by the style.
class TKitPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TKitPopupMenu(QWidget* parent = nullptr);
    ~TKitPopupMenu() override;

    TKitMenuStyle Style() const { return style_; }
    void setStyle(TKitMenuStyle style);
    KitImageList* Images() const { return images_; }
    void setImages(KitImageList* images);
    bool ShowCheckMarks() const { return showCheckMarks_; }
    void setShowCheckMarks(bool value) { showCheckMarks_ = value; }
    unsigned MinTextOffset() const { return minTextOffset_; }
    void setMinTextOffset(unsigned value) { minTextOffset_ = value; }
    unsigned LeftMargin() const { return leftMargin_; }
    void setLeftMargin(unsigned value);
    // A kit cursor id shown while an item of this menu is highlighted; 0 for none.
    int Cursor() const { return cursor_; }
    void setCursor(int cursor) { cursor_ = cursor; }
    using QWidget::setCursor;
    using QWidget::setStyle;
    TPopupAlignment Alignment() const { return alignment_; }
    void setAlignment(TPopupAlignment alignment) { alignment_ = alignment; }

    // Style is not msStandard, or Images holds an image.
    bool IsOwnerDrawMenu() const;
    // Whether the menu draws its own items now.
    bool OwnerDraw() const { return ownerDraw_; }
    // Bound to the item being drawn or measured; null otherwise.
    QPainter* Canvas() const { return canvas_; }
    // Where the menu was last opened; (-1, -1) before.
    QPoint PopupPoint() const { return popupPoint_; }

    // Opens the menu at the screen point, aligned as Alignment says.
    void Popup(int x, int y);
    // The margin band: a top-to-bottom gradient in 32 bands, 3 pixels narrower than
    // rect, then a shadow line and a highlight line down its right edge.
    void FillMargin(QPainter& canvas, const QRect& rect, const QColor& startColor,
                    const QColor& endColor) const;

    // An item's index into Images, kept with the item; -1 for none.
    static int ImageIndex(const QAction* item);
    static void setImageIndex(QAction* item, int index);

    std::function<void(TKitPopupMenu&)> OnPopup;
    std::function<void(TKitPopupMenu&, QAction* item, const QRect& rect, TMenuOwnerDrawState)>
        OnDrawItem;
    std::function<void(TKitPopupMenu&, QAction* item, int& width, int& height)> OnMeasureItem;
    std::function<void(TKitPopupMenu&, const QRect& rect)> OnDrawMargin;
    // The item's font and its colour, background colour (clNone: unpainted), graphic
    // and the number of glyphs side by side in a bitmap graphic.
    std::function<void(TKitPopupMenu&, QAction* item, TMenuOwnerDrawState, QFont& font,
                       TColor& fontColor, TColor& color, TPicture& graphic, int& numGlyphs)>
        OnGetItemParams;
    std::function<void(TKitPopupMenu&, QAction* item, TMenuOwnerDrawState, int& imageIndex)>
        OnGetImageIndex;

    // Called by the menu's style for each item.
    void paintItem(QPainter& painter, QAction* item, const QRect& rect, bool selected);
    QSize measureItem(QAction* item);

protected:
    virtual void DrawItem(QAction* item, const QRect& rect, TMenuOwnerDrawState state);
    virtual void DrawMargin(const QRect& rect);
    virtual void UpdateOwnerDraw(bool value);

    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    TMenuOwnerDrawState itemState(const QAction* item, bool selected) const;
    KitMenuItemParams GetItemParams(QAction* item, TMenuOwnerDrawState state);
    void highlightCursor(QAction* item);
    void updateMargins();

    TKitMenuStyle style_ = TKitMenuStyle::msStandard;
    QPointer<KitImageList> images_;
    QMetaObject::Connection imagesChanged_;
    bool showCheckMarks_ = true;
    unsigned minTextOffset_ = 0;
    unsigned leftMargin_ = 0;
    int cursor_ = 0;
    TPopupAlignment alignment_ = TPopupAlignment::paLeft;
    bool ownerDraw_ = false;
    QPainter* canvas_ = nullptr;
    QPoint popupPoint_{-1, -1};
    Qt::LayoutDirection savedDirection_ = Qt::LeftToRight;
    std::unique_ptr<KitMenuStyle> kitStyle_;
};

} // namespace kd
