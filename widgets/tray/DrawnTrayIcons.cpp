#include "widgets/tray/DrawnTrayIcons.h"

#include <QPainter>
#include <QPixmap>

namespace kd {
namespace {

constexpr int side = 32;

// The drive: a grey box with a slot; the light's colour tells still from running.
QPixmap drawDrive(const QColor& light) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(QColor(0xB0, 0xB8, 0xC0));
    painter.drawRoundedRect(QRectF(2.5, 16.5, 27, 12), 2, 2);
    painter.setBrush(QColor(0x60, 0x68, 0x70));
    painter.drawRect(QRectF(6.5, 21.5, 14, 2));
    painter.setBrush(light);
    painter.drawEllipse(QRectF(23, 20.5, 4, 4));
    return pixmap;
}

} // namespace

QIcon DrawTrayIcon() {
    QPixmap pixmap = drawDrive(QColor(0x20, 0xC0, 0x20));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // An arrow down into the drive.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0x60, 0xD0));
    const QPointF arrow[] = {{12, 2}, {20, 2}, {20, 8}, {25, 8}, {16, 15}, {7, 8}, {12, 8}};
    painter.drawPolygon(arrow, 7);
    return QIcon(pixmap);
}

std::vector<QIcon> DrawTrayFrames(int count) {
    std::vector<QIcon> frames;
    constexpr int segments = 6;
    for (int frame = 0; frame < count; ++frame) {
        QPixmap pixmap = drawDrive(QColor(0xF0, 0xA0, 0x20));
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF ring(8, 1, 14, 14);
        for (int s = 0; s < segments; ++s) {
            const bool lit = s % count == frame;
            painter.setPen(QPen(lit ? QColor(0x20, 0x60, 0xD0) : QColor(0xC0, 0xC8, 0xD0), 3));
            // Qt's angles are in 1/16 degree, counter-clockwise: the lit segment goes
            // clockwise.
            const int start = 90 * 16 - s * (360 * 16 / segments);
            painter.drawArc(ring, start, -(360 * 16 / segments - 12 * 16));
        }
        frames.emplace_back(pixmap);
    }
    return frames;
}

} // namespace kd
