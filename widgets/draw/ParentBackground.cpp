#include "widgets/draw/ParentBackground.h"

namespace kd {

void PaintParentBackground(QWidget* control, QPainter& canvas) {
    if (!control || !control->parentWidget())
        return;
    QWidget* parent = control->parentWidget();
    const QRect bounds = control->geometry();
    canvas.save();
    // The parent's own background only; its children follow one by one.
    parent->render(&canvas, QPoint(0, 0), QRegion(bounds), QWidget::DrawWindowBackground);
    for (QObject* child : parent->children()) {
        if (child == control)
            break;
        auto* sibling = qobject_cast<QWidget*>(child);
        if (!sibling || sibling->isWindow() || !sibling->isVisibleTo(parent) ||
            !sibling->geometry().intersects(bounds))
            continue;
        const QRect overlap = sibling->geometry().intersected(bounds);
        sibling->render(&canvas, overlap.topLeft() - bounds.topLeft(),
                        QRegion(overlap.translated(-sibling->pos())),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    canvas.restore();
}

} // namespace kd
