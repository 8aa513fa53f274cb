#include "widgets/menu/KitMenuStyle.h"

#include "widgets/menu/TKitPopupMenu.h"

#include <QStyleOptionMenuItem>

namespace kd {

namespace {

// The kit menu and the item an option stands for; the menu puts the item in the
// option's style object.
struct OwnedItem {
    TKitPopupMenu* menu = nullptr;
    QAction* item = nullptr;
};

OwnedItem ownedItem(const QStyleOption* option, const QWidget* widget) {
    auto* menu = qobject_cast<TKitPopupMenu*>(const_cast<QWidget*>(widget));
    if (!menu || !menu->OwnerDraw() || !option)
        return {};
    return {menu, qobject_cast<QAction*>(option->styleObject)};
}

} // namespace

void KitMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == CE_MenuItem) {
        const OwnedItem owned = ownedItem(option, widget);
        if (owned.item) {
            owned.menu->paintItem(*painter, owned.item, option->rect,
                                  option->state & State_Selected);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QSize KitMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    if (type == CT_MenuItem) {
        const OwnedItem owned = ownedItem(option, widget);
        if (owned.item)
            return owned.menu->measureItem(owned.item);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

} // namespace kd
