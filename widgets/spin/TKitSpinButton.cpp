#include "widgets/spin/TKitSpinButton.h"

#include "widgets/draw/KitColor.h"
#include "widgets/draw/MaskedDraw.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace kd {
namespace {

// A small black arrow on white, 7 x 5 pixels: the blank bottom row makes white the
// transparent colour (a bitmap's bottom-left pixel).
QImage arrow(bool up) {
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int row = 0; row < 4; ++row) {
        const int y = up ? row : 3 - row;
        for (int x = 3 - row; x <= 3 + row; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    }
    return image;
}

int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

TKitSpinButton::TKitSpinButton(QWidget* parent)
    : QWidget(parent), upGlyph_(arrow(true)), downGlyph_(arrow(false)) {
    resize(20, 20);
}

TKitSpinButton::~TKitSpinButton() = default;

TSpinButtonState TKitSpinButton::halfAt(QPointF point, QSizeF size) {
    if (size.width() <= 0)
        return TSpinButtonState::sbTopDown;
    return point.y() > size.height() - size.height() / size.width() * point.x()
               ? TSpinButtonState::sbBottomDown
               : TSpinButtonState::sbTopDown;
}

void TKitSpinButton::setUpGlyph(const QImage& glyph) {
    upGlyph_ = glyph.isNull() ? arrow(true) : glyph;
    invalidate_ = true;
    update();
}

void TKitSpinButton::setDownGlyph(const QImage& glyph) {
    downGlyph_ = glyph.isNull() ? arrow(false) : glyph;
    invalidate_ = true;
    update();
}

void TKitSpinButton::fire(TSpinButtonState half) {
    const auto& handler = half == TSpinButtonState::sbBottomDown ? onBottomClick_ : onTopClick_;
    if (handler)
        handler();
}

void TKitSpinButton::setDown(TSpinButtonState state) {
    if (down_ == state)
        return;
    down_ = state;
    update();
}

void TKitSpinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (focusControl_ && (focusControl_->focusPolicy() & Qt::TabFocus) &&
        focusControl_->isEnabled() && focusControl_->isVisible() && !focusControl_->hasFocus())
        focusControl_->setFocus(Qt::MouseFocusReason);
    if (down_ == TSpinButtonState::sbNotDown) {
        lastDown_ = TSpinButtonState::sbNotDown;
        const TSpinButtonState half = halfAt(event->position(), size());
        down_ = half;
        fire(half);
        if (!(QApplication::mouseButtons() & Qt::LeftButton) &&
            !(event->buttons() & Qt::LeftButton))
            down_ = TSpinButtonState::sbNotDown;
        lastDown_ = down_;
        update();
        if (!repeat_) {
            repeat_ = std::make_unique<QTimer>();
            connect(repeat_.get(), &QTimer::timeout, this, &TKitSpinButton::repeatStep);
        }
        repeat_->setInterval(400);
        repeat_->start();
    }
    dragging_ = true;
}

void TKitSpinButton::repeatStep() {
    repeat_->setInterval(100);
    if (down_ == TSpinButtonState::sbNotDown || !dragging_)
        return;
    try {
        fire(down_);
    } catch (...) {
        repeat_->stop();
        throw;
    }
}

void TKitSpinButton::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    if (rect().contains(event->position().toPoint())) {
        const TSpinButtonState half = halfAt(event->position(), size());
        if (half != down_)
            setDown(half == lastDown_ ? half : TSpinButtonState::sbNotDown);
    } else {
        setDown(TSpinButtonState::sbNotDown);
    }
}

void TKitSpinButton::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    if (rect().contains(event->position().toPoint())) {
        lastDown_ = TSpinButtonState::sbNotDown;
        setDown(TSpinButtonState::sbNotDown);
    }
}

void TKitSpinButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        invalidate_ = true;
        if (!isEnabled())
            dragging_ = false;
        update();
    }
    QWidget::changeEvent(event);
}

QImage TKitSpinButton::face(TSpinButtonState pressed, QSize size) const {
    const int w = size.width(), h = size.height();
    const bool top = pressed == TSpinButtonState::sbTopDown;
    const bool bottom = pressed == TSpinButtonState::sbBottomDown;
    const QColor shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
    QImage image(size, QImage::Format_RGB32);
    image.fill(ColorToRGB(clBtnFace));
    QPainter p(&image);
    p.setPen(ColorToRGB(clWindowText));
    p.drawRect(0, 0, w - 1, h - 1);
    p.drawLine(-1, h, w, -1);
    p.setPen(top ? shadow : light);
    p.drawLine(1, h - 4, 1, 1);
    p.drawLine(1, 1, w - 3, 1);
    if (!top) {
        p.setPen(shadow);
        p.drawLine(1, h - 3, w - 2, 0);
    }
    p.setPen(bottom ? light : shadow);
    p.drawLine(2, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, h - 2, w - 2, 1);
    p.setPen(bottom ? shadow : light);
    p.drawLine(2, h - 2, w - 1, 1);
    if (bottom) {
        p.setPen(shadow);
        p.drawLine(3, h - 2, w - 1, 2);
    }
    const int shift = top ? 1 : 0;
    DrawBitmapMasked(p, roundHalfEven(w / 4.0 - upGlyph_.width() / 2.0) + 1 + shift,
                     roundHalfEven(h / 4.0 - upGlyph_.height() / 2.0) + 1 + shift, upGlyph_,
                     clDefault);
    DrawBitmapMasked(p, roundHalfEven(3 * w / 4.0 - downGlyph_.width() / 2.0) - 1,
                     roundHalfEven(3 * h / 4.0 - downGlyph_.height() / 2.0) - 1, downGlyph_,
                     clDefault);
    return image;
}

void TKitSpinButton::paintEvent(QPaintEvent*) {
    if (!isEnabled())
        dragging_ = false;
    if (invalidate_ || faces_[0].size() != size()) {
        for (int i = 0; i < 3; ++i)
            faces_[i] = face(static_cast<TSpinButtonState>(i), size());
        invalidate_ = false;
    }
    QPainter(this).drawImage(0, 0, faces_[static_cast<int>(down_)]);
}

} // namespace kd
