#pragma once
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace kd::test {

// Sends one mouse event with the left button to the widget at the point.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Press and release at the points.
inline void clickAt(QWidget* widget, QPoint press, QPoint release) {
    sendMouse(widget, QEvent::MouseButtonPress, press);
    sendMouse(widget, QEvent::MouseButtonRelease, release);
}

} // namespace kd::test
