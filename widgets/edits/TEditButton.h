#pragma once
#include "widgets/buttons/TKitSpeedButton.h"

namespace kd {

// The browse button inside an edit box: a speed button with two edge lines on its
// left, which brings the focus to its edit before acting.
class TEditButton : public TKitSpeedButton {
    Q_OBJECT
public:
    explicit TEditButton(QWidget* parent, QWidget* edit);

    // Makes the next click do nothing.
    void setNoAction(bool value) { noAction_ = value; }
    bool NoAction() const { return noAction_; }
    void Click() override;

protected:
    void paintButton(QPainter& canvas) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QWidget* edit_;
    bool noAction_ = false;
};

} // namespace kd
