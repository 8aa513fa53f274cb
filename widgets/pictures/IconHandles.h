#pragma once
#include <QByteArray>
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace kd {

// The icon as a pixmap of its real size, ready to draw: the size QueryIconSize gives.
QPixmap MakeIconHandle(const QIcon& icon);
// The icon's own size (its largest image), or the system's icon size when it has none.
QSize QueryIconSize(const QIcon& icon);
// An icon file's bytes: the image whose colour count suits the display (true colour),
// else its first image; the application's icon for a resource of type 0; a null
// icon when the bytes are no icon.
QIcon ReadIconFromStream(const QByteArray& data);

} // namespace kd
