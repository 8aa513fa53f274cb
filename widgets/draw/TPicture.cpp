#include "widgets/draw/TPicture.h"

#include "widgets/draw/MaskedDraw.h"
#include "widgets/pictures/IconHandles.h"

namespace kd {

bool TPicture::empty() const {
    if (const KitBitmap* b = bitmap())
        return b->empty();
    if (const QIcon* i = icon())
        return i->isNull();
    return true;
}

int TPicture::width() const {
    if (const KitBitmap* b = bitmap())
        return b->image.width();
    if (const QIcon* i = icon())
        return QueryIconSize(*i).width();
    return 0;
}

int TPicture::height() const {
    if (const KitBitmap* b = bitmap())
        return b->image.height();
    if (const QIcon* i = icon())
        return QueryIconSize(*i).height();
    return 0;
}

void TPicture::draw(QPainter& canvas, QPoint at) const {
    if (const KitBitmap* b = bitmap()) {
        DrawBitmapMasked(canvas, at.x(), at.y(), b->image,
                         b->Transparent ? b->TransparentColor : clNone);
    } else if (const QIcon* i = icon()) {
        canvas.drawPixmap(at, MakeIconHandle(*i));
    }
}

void CopyBitmapCell(const TPicture& source, KitBitmap& target, int cols, int rows, int index) {
    if (source.empty())
        return;
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    index = std::max(index, 0);
    const int cellWidth = source.width() / cols;
    const int cellHeight = source.height() / rows;
    const int column = index % cols;
    const int row = index / cols;
    if (const KitBitmap* b = source.bitmap()) {
        target.image = b->image.copy(column * cellWidth, row * cellHeight, cellWidth, cellHeight);
        target.TransparentColor = b->TransparentColor;
        target.Transparent = b->Transparent;
        return;
    }
    target.image = QImage(cellWidth, cellHeight, QImage::Format_RGB32);
    target.image.fill(ColorToRGB(clSilver));
    QPainter painter(&target.image);
    source.draw(painter, QPoint(-column * cellWidth, -row * cellHeight));
    target.Transparent = false;
}

} // namespace kd
