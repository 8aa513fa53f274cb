#pragma once
#include <QProxyStyle>

namespace kd {

// The application's style, except that the items of a kit menu that draws its own
// are measured and drawn by that menu.
class KitMenuStyle : public QProxyStyle {
public:
    KitMenuStyle() = default;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};

} // namespace kd
