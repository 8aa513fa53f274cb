#pragma once
#include "widgets/draw/KitColor.h"
#include "widgets/draw/TPicture.h"
#include "widgets/menu/KitMenuTypes.h"

#include <QFont>
#include <QRect>
#include <QSize>

class QAction;
class QPainter;

namespace kd {

class TKitPopupMenu;

// What the owner may change for one item before it is drawn or measured.
struct KitMenuItemParams {
    QFont font;
    TColor fontColor = clMenuText;
    TColor color = clMenu; // the item's background; clNone leaves it unpainted
    TPicture graphic;
    int numGlyphs = 1;
    int imageIndex = -1;
};

// Lays one item of a kit menu out from left to right: a check-mark area, an image
// column, the caption and the shortcut.
class KitMenuItemLayout {
public:
    KitMenuItemLayout(const TKitPopupMenu& menu, const QAction* item,
                      const KitMenuItemParams& params, TMenuOwnerDrawState state);

    void draw(QPainter& canvas, const QRect& rect) const;
    // The item's size before the owner's measure event.
    QSize measure() const;

private:
    // Width of the image column's content (0 when there is none) and what fills it.
    enum class Column { None, Image, Graphic, Empty };
    Column column(int& width, int minWidth) const;
    int glyphWidth() const;
    void drawGraphic(QPainter& canvas, const QRect& cell) const;
    void drawCheckMark(QPainter& canvas, const QRect& area, const QColor& color) const;
    void drawCaption(QPainter& canvas, const QRect& rect, int x) const;
    void drawText(QPainter& canvas, const QRect& rect, const QString& text, int flags) const;
    // Widest caption (without "&") plus two tabs over the item and, when it has a
    // shortcut, its siblings; and the widest shortcut text of them.
    int widestCaption() const;
    int widestShortcut() const;
    bool hasShortcut(const QAction* action) const;

    const TKitPopupMenu& menu_;
    const QAction* item_;
    const KitMenuItemParams& params_;
    TMenuOwnerDrawState state_;
    bool separator_;
    int checkWidth_;
    int gap_; // G: three tenths of the check-mark width
};

} // namespace kd
