#include "widgets/edits/EditGlyphs.h"

#include <QPainter>
#include <algorithm>

namespace kd {

QImage EllipsisGlyph(int buttonWidth) {
    const int width = std::max(1, buttonWidth - 6);
    QImage image(width, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    // Spread over the image's own width, so that the dots stay inside it.
    const int gap = std::clamp((width - 6) / 2, 1, 3);
    const int first = std::max(0, (width - 6 - 2 * gap) / 2);
    QPainter painter(&image);
    for (int i = 0; i < 3; ++i)
        painter.fillRect(first + i * (gap + 2), 1, 2, 2, Qt::black);
    return image;
}

QImage DropDownGlyph() {
    QImage image(7, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int row = 0; row < 4; ++row)
        painter.fillRect(row, row, 7 - 2 * row, 1, Qt::black);
    return image;
}

const QImage& FolderGlyph() {
    static const QImage folder = [] {
        // Magenta marks the transparent background (the bottom-left pixel).
        QImage image(14, 12, QImage::Format_RGB32);
        image.fill(QColor(0xFF, 0x00, 0xFF));
        QPainter painter(&image);
        const QColor outline(0x80, 0x60, 0x00);
        const QColor body(0xF0, 0xC8, 0x40);
        painter.fillRect(1, 2, 5, 2, outline); // the tab
        painter.fillRect(0, 3, 13, 8, outline);
        painter.fillRect(1, 4, 11, 6, body);
        painter.fillRect(1, 4, 11, 1, QColor(0xFF, 0xE8, 0x90));
        return image;
    }();
    return folder;
}

} // namespace kd
