#pragma once
#include <QObject>
#include <QPoint>
#include <QSize>

class QWidget;

namespace kd {

// Brings a window that is shown again back at the size and place it had when it was
// hidden. Left to itself, Qt makes a hidden dialog's native window anew at each show,
// centres it over its parent again and fits its size to its contents. A child of the
// window.
class ReshowInPlace : public QObject {
public:
    explicit ReshowInPlace(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    bool hidden_ = false;
    QPoint framePosition_;
    QSize size_;
};

} // namespace kd
