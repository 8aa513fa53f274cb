#include "widgets/spin/TKitUpDown.h"

#include <QApplication>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace kd {

TKitUpDown::TKitUpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (auto [button, arrow, kind] : {std::tuple{up_, Qt::UpArrow, TUDBtnType::btNext},
                                       std::tuple{down_, Qt::DownArrow, TUDBtnType::btPrev}}) {
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, k = kind] { clicked(k); });
    }
    resize(DefaultButtonWidth(), 20);
}

int TKitUpDown::DefaultButtonWidth() {
    return std::min(15, QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void TKitUpDown::clicked(TUDBtnType button) {
    // A step that opens a dialog must not start a second one.
    if (inClick_ || !onClick_)
        return;
    inClick_ = true;
    try {
        onClick_(button);
    } catch (...) {
        inClick_ = false;
        throw;
    }
    inClick_ = false;
}

void TKitUpDown::resizeEvent(QResizeEvent*) {
    if (width() != DefaultButtonWidth()) {
        resize(DefaultButtonWidth(), height());
        return;
    }
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace kd
