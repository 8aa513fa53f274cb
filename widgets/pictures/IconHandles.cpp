#include "widgets/pictures/IconHandles.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QStyle>
#include <QtEndian>

namespace kd {

namespace {

constexpr int kHeaderSize = 6;
constexpr int kEntrySize = 16;

quint16 word(const QByteArray& data, int offset) {
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

} // namespace

QSize QueryIconSize(const QIcon& icon) {
    QSize best;
    for (const QSize& size : icon.availableSizes())
        if (size.width() * size.height() > best.width() * best.height())
            best = size;
    if (best.isValid())
        return best;
    const int side =
        QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize) : 32;
    return QSize(side, side);
}

QPixmap MakeIconHandle(const QIcon& icon) {
    return icon.pixmap(QueryIconSize(icon));
}

QIcon ReadIconFromStream(const QByteArray& data) {
    if (data.size() < kHeaderSize || word(data, 0) != 0)
        return {};
    const quint16 type = word(data, 2);
    if (type == 0)
        return QApplication::windowIcon();
    if (type != 1)
        return {};
    const int count = word(data, 4);
    if (count == 0 || data.size() < kHeaderSize + count * kEntrySize)
        return {};
    // A true-colour display counts as 0 colours, as the directory writes 256 and more.
    int chosen = 0;
    for (int i = 0; i < count; ++i)
        if (static_cast<unsigned char>(data[kHeaderSize + i * kEntrySize + 2]) == 0) {
            chosen = i;
            break;
        }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (!reader.jumpToImage(chosen))
        return {};
    const QImage image = reader.read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace kd
