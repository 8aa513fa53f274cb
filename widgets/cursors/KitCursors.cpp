#include "widgets/cursors/KitCursors.h"

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <map>

namespace kd {

namespace {

struct CursorImage {
    QImage image;
    QPoint hotSpot;
};

// Images, not cursors: they outlive the application object without harm.
std::map<int, CursorImage>& cursorTable() {
    static std::map<int, CursorImage> table;
    return table;
}

void registerCursor(int id, const char* resource, QPoint hotSpot) {
    QImage image(resource, "XPM"); // named: no image plugin is loaded to guess it
    if (!image.isNull())
        cursorTable()[id] = {std::move(image), hotSpot};
}

} // namespace

void RegisterKitCursors() {
    registerCursor(crKitHand, ":/cursors/KIT_HANDCUR", QPoint(5, 0));
    registerCursor(crKitDrag, ":/cursors/KIT_DRAGCUR", QPoint(0, 0));
}

bool KitCursorRegistered(int id) {
    return cursorTable().count(id) != 0;
}

QCursor KitCursor(int id) {
    const auto found = cursorTable().find(id);
    if (found == cursorTable().end())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(found->second.image), found->second.hotSpot.x(),
                   found->second.hotSpot.y());
}

} // namespace kd
