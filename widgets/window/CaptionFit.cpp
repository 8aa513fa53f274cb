#include "widgets/window/CaptionFit.h"

#include "widgets/window/FrameMargins.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

namespace kd {
namespace {

// The room the screen has for the window without its frame.
QRect availableArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return QRect(0, 0, window.width(), window.height());
    return screen->availableGeometry().marginsRemoved(frameMarginsOf(window));
}

// The width the status bar needs for its longest hint: what it needs now (its
// permanent widgets, margins and grip) and the hint's text, with a character to spare.
int statusBarWidth(QMainWindow& window) {
    QStatusBar* bar = window.statusBar();
    const QFontMetrics metrics = bar->fontMetrics();
    int longest = 0;
    for (const QWidget* widget : window.findChildren<QWidget*>())
        longest = std::max(longest, metrics.horizontalAdvance(widget->statusTip()));
    for (const QAction* action : window.findChildren<QAction*>())
        longest = std::max(longest, metrics.horizontalAdvance(action->statusTip()));
    return bar->sizeHint().width() + longest + 2 * metrics.averageCharWidth();
}

// Puts each top tool bar that would end past the width on a row of its own; gives the
// tool bars it put there.
QList<QToolBar*> breakToolBarRows(QMainWindow& window, int width) {
    QList<QToolBar*> broken;
    int row = 0;
    for (QToolBar* bar : window.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (window.toolBarArea(bar) != Qt::TopToolBarArea || bar->isHidden())
            continue;
        if (window.toolBarBreak(bar))
            row = 0;
        const int needed = bar->sizeHint().width();
        if (row > 0 && row + needed > width) {
            window.insertToolBarBreak(bar);
            broken << bar;
            row = 0;
        }
        row += needed;
    }
    window.layout()->invalidate();
    return broken;
}

// The width a title bar needs for the whole title: the text as title bars mostly draw
// it (bold, often larger than the window's own text), centred between the window's
// icon on one side and up to three buttons on the other, with room to spare for themes
// whose buttons are larger.
int titleBarWidth(const QWidget& window) {
    QFont font = window.font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.25);
    else
        font.setPixelSize(font.pixelSize() * 5 / 4);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(window.windowTitle()) + 12 * metrics.height();
}

} // namespace

void fitToCaptions(QMainWindow& window) {
    const QRect area = availableArea(window);
    if (std::max(window.sizeHint().width(), statusBarWidth(window)) > area.width()) {
        // More rows of tool bars, unless the window could then no longer fit the screen's
        // height: its status bar would be cut.
        const QList<QToolBar*> broken = breakToolBarRows(window, area.width());
        if (window.minimumSizeHint().height() > area.height()) {
            for (QToolBar* bar : broken)
                window.removeToolBarBreak(bar);
            window.layout()->invalidate();
        }
    }
    const int width = std::max({window.width(), window.sizeHint().width(), statusBarWidth(window)});
    const int height = std::max(window.height(), window.sizeHint().height());
    window.resize(std::min(width, area.width()), std::min(height, area.height()));
}

void fitToTitle(QWidget& window) {
    const int width = std::min(titleBarWidth(window), availableArea(window).width());
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
        // A message box fixes its size from its layout as it shows: the row of its
        // buttons holds the width there.
        if (auto* buttons = box->findChild<QDialogButtonBox*>()) {
            const QMargins margins = box->layout()->contentsMargins();
            buttons->setMinimumWidth(width - margins.left() - margins.right());
        }
        return;
    }
    if (window.width() < width)
        window.resize(width, window.height());
}

} // namespace kd
