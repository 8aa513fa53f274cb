#include "widgets/window/FrameMargins.h"

#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace kd {

QMargins frameMarginsOf(const QWidget& window) {
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return {};
    if (const QWindow* native = window.windowHandle(); native && !native->frameMargins().isNull())
        return native->frameMargins();
    const QStyle* style = window.style();
    const int border = 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    return {border, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window), border,
            border};
}

} // namespace kd
