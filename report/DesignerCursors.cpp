#include "report/DesignerCursors.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace kd {

const std::array<std::string_view, 21> DesignerCursorNames{
    "CURSOR_INS",  "CURSOR_DB",   "CURSOR_LB",   "CURSOR_PAR",  "CURSOR_FN",   "CURSOR_DATE",
    "CURSOR_TIME", "CURSOR_CISR", "CURSOR_CISS", "CURSOR_CELK", "CURSOR_CRSK", "CURSOR_CISK",
    "CURSOR_TEXT", "CURSOR_CARA", "CURSOR_RAM0", "CURSOR_RAM1", "CURSOR_RAM2", "CURSOR_OBR",
    "CURSOR_BARC", "CURSOR_PBOX", "CURSOR_DET"};

namespace {

// A 32 x 32 cursor: a small arrow at the hot spot and, below right of it, a box with
// the cursor's index drawn as dots (one row of up to five per line), so each differs.
QCursor designerCursor(int index) {
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygon({QPoint(0, 0), QPoint(0, 12), QPoint(3, 9), QPoint(8, 9)}));
    painter.drawRect(12, 12, 18, 18);
    painter.setBrush(Qt::black);
    for (int dot = 0; dot < index; ++dot)
        painter.drawRect(14 + (dot % 5) * 3, 14 + (dot / 5) * 3, 1, 1);
    painter.end();
    return QCursor(image, 0, 0);
}

} // namespace

std::vector<QCursor> makeDesignerCursors() {
    std::vector<QCursor> cursors;
    for (int i = 1; i <= static_cast<int>(DesignerCursorNames.size()); ++i)
        cursors.push_back(designerCursor(i));
    return cursors;
}

} // namespace kd
