#include "widgets/edits/TEditButton.h"

#include "widgets/draw/KitColor.h"

#include <QMouseEvent>
#include <QPainter>

namespace kd {

TEditButton::TEditButton(QWidget* parent, QWidget* edit) : TKitSpeedButton(parent), edit_(edit) {}

void TEditButton::Click() {
    if (noAction_) {
        noAction_ = false;
        return;
    }
    TKitSpeedButton::Click();
}

void TEditButton::paintButton(QPainter& canvas) {
    TKitSpeedButton::paintButton(canvas);
    if (State() == TButtonState::bsDown)
        return;
    const int h = height();
    canvas.fillRect(0, 0, 1, h - 1, ColorToRGB(clBtnFace, palette()));
    canvas.fillRect(1, 1, 1, h - 3, ColorToRGB(clBtnHighlight, palette()));
}

void TEditButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && edit_->focusPolicy() & Qt::TabFocus &&
        edit_->isEnabled() && !edit_->hasFocus())
        edit_->setFocus(Qt::MouseFocusReason);
    TKitSpeedButton::mousePressEvent(event);
}

} // namespace kd
