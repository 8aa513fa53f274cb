#include "widgets/appevents/AppEventSource.h"

#include "widgets/appevents/KitApplication.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>
#include <QStatusTipEvent>
#include <QToolTip>
#include <QWidget>
#include <vector>

namespace kd {
namespace {

// The help command of a popup help request for a control (What's This).
constexpr quint16 kHelpContextPopup = 8;

} // namespace

AppEventSource::AppEventSource(KitApplication& application)
    : QObject(qApp), application_(application) {
    qApp->installEventFilter(this);
    connect(QAbstractEventDispatcher::instance(qApp->thread()),
            &QAbstractEventDispatcher::aboutToBlock, this, &AppEventSource::idle);
    // Actions put on widgets from now on are seen as they come (ActionAdded).
    for (QWidget* widget : QApplication::allWidgets())
        for (QAction* action : widget->actions())
            watchAction(action);
}

void AppEventSource::watchAction(QAction* action) {
    connect(action, &QAction::triggered, this, &AppEventSource::actionTriggered,
            Qt::UniqueConnection);
}

bool AppEventSource::eventFilter(QObject* watched, QEvent* event) {
    // Whatever the window system sends reaches a window first, then its widgets.
    if (watched->isWindowType()) {
        if (event->type() == QEvent::KeyPress && swallowedKey_ != 0) {
            const bool taken = static_cast<QKeyEvent*>(event)->key() == swallowedKey_;
            swallowedKey_ = 0;
            if (taken)
                return true;
        }
        bool handled = false;
        if (application_.OnMessage)
            application_.OnMessage(*event, handled);
        return handled;
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        return shortcut(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::StatusTip:
        application_.SetHint(static_cast<QStatusTipEvent*>(event)->tip());
        return false;
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
        if (auto* control = qobject_cast<QWidget*>(watched)) {
            auto& request = *static_cast<QHelpEvent*>(event);
            return event->type() == QEvent::ToolTip ? showHint(*control, request)
                                                    : help(*control, request);
        }
        return false;
    case QEvent::ActionAdded:
        watchAction(static_cast<QActionEvent*>(event)->action());
        return false;
    default:
        return false;
    }
}

bool AppEventSource::shortcut(QObject* watched, QKeyEvent& key) {
    // The override goes on to the focus object's parents; it is raised once, where it
    // starts.
    if (watched != QGuiApplication::focusObject() || !application_.OnShortCut)
        return false;
    bool handled = false;
    application_.OnShortCut(key, handled);
    if (!handled)
        return false;
    // Accepted, it keeps Qt's shortcuts from the key; the key press that follows is
    // kept from the widgets.
    key.accept();
    swallowedKey_ = key.key();
    return true;
}

bool AppEventSource::showHint(QWidget& control, QHelpEvent& request) {
    // A control without a tip of its own passes the request on to its parent, where it
    // is seen again.
    const QString own = control.toolTip();
    if (own.isEmpty() || !application_.OnShowHint)
        return false;
    QString hint = own;
    bool canShow = true;
    THintInfo info{&control, request.pos()};
    application_.OnShowHint(hint, canShow, info);
    if (canShow && hint == own)
        return false; // Qt shows it as usual
    if (canShow && !hint.isEmpty())
        QToolTip::showText(request.globalPos(), hint, &control);
    else
        QToolTip::hideText();
    request.accept();
    return true;
}

bool AppEventSource::help(QWidget& control, QHelpEvent& request) {
    if (control.whatsThis().isEmpty() || !application_.OnHelp)
        return false;
    bool callHelp = true;
    application_.OnHelp(kHelpContextPopup, 0, callHelp);
    if (callHelp)
        return false; // Qt shows the control's help
    request.accept();
    return true;
}

// Qt calls the action's own handlers first: a handler here learns of the action
// after it ran and cannot keep it from running.
void AppEventSource::actionTriggered() {
    auto* action = qobject_cast<QAction*>(sender());
    bool handled = false;
    if (action && application_.OnActionExecute)
        application_.OnActionExecute(action, handled);
}

void AppEventSource::idle() {
    bool done = true;
    if (application_.OnIdle)
        application_.OnIdle(&application_, done);
    if (!done) {
        // Not done: an event to handle, so that the loop comes back here at once.
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection);
        return;
    }
    updateActions();
}

void AppEventSource::updateActions() {
    if (!application_.OnActionUpdate)
        return;
    QSet<QAction*> seen;
    std::vector<QPointer<QAction>> actions;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            for (QAction* action : window->findChildren<QAction*>())
                if (!seen.contains(action)) {
                    seen.insert(action);
                    actions.emplace_back(action);
                }
    // A handler may delete actions, or the hub itself.
    for (const QPointer<QAction>& action : actions) {
        bool handled = false;
        if (action && application_.OnActionUpdate)
            application_.OnActionUpdate(action, handled);
    }
}

} // namespace kd
