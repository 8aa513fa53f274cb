#pragma once
#include <QMargins>

class QWidget;

namespace kd {

// The room a window's frame takes around it: the window system's once the window is
// framed. Before that (under X11 the window manager frames a window only as it shows)
// the title bar and borders the style draws for framed windows stand in for it.
QMargins frameMarginsOf(const QWidget& window);

} // namespace kd
