#include "widgets/appevents/KitApplication.h"

#include "widgets/appevents/AppEventSource.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QStyleHints>
#include <QToolTip>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace kd {

void KitApplication::SetSettings(const KitApplicationSettings& settings) {
    settings_ = settings;
    if (qApp == nullptr)
        return;
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, ColorToRGB(settings.HintColor));
    QToolTip::setPalette(palette);
}

int KitApplication::MouseDragThreshold() const {
    return QApplication::startDragDistance();
}

void KitApplication::SetMouseDragThreshold(int pixels) {
    QApplication::setStartDragDistance(pixels);
}

void KitApplication::StartWatching() {
    if (!source_ && qApp != nullptr)
        source_ = new AppEventSource(*this);
}

void KitApplication::SetHint(const QString& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (OnHint)
        OnHint(this);
}

void KitApplication::SetMainWindow(QWidget* window) {
    // The filter on the application sees the main window's events too.
    mainWindow_ = window;
    StartWatching();
    if (!filterOnApp_ && qApp != nullptr) {
        filterOnApp_ = true;
        qApp->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this] {
            if (screen_.OnActiveControlChange)
                screen_.OnActiveControlChange(&screen_);
        });
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
            if (screen_.OnActiveFormChange)
                screen_.OnActiveFormChange(&screen_);
        });
    }
}

int KitApplication::HookMainWindow(WindowHook hook) {
    const int id = nextHook_++;
    hooks_.emplace(id, std::move(hook));
    return id;
}

void KitApplication::UnhookMainWindow(int id) {
    hooks_.erase(id);
}

void KitApplication::HandleException(QObject* sender, const std::exception& e) {
    if (OnException)
        OnException(sender, e);
    else
        ShowException(e);
}

void KitApplication::ShowException(const std::exception& e) {
    if (ExceptionDisplay)
        ExceptionDisplay(e);
    else
        qWarning("%s", e.what());
}

bool KitApplication::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp) {
        if (event->type() == QEvent::ApplicationActivate && OnActivate)
            OnActivate(this);
        else if (event->type() == QEvent::ApplicationDeactivate && OnDeactivate)
            OnDeactivate(this);
        return false;
    }
    if (watched != mainWindow_)
        return false;
    // A hook may remove itself or another one: walk a copy of the ids.
    std::vector<int> ids;
    for (const auto& [id, hook] : hooks_)
        ids.push_back(id);
    for (int id : ids) {
        const auto found = hooks_.find(id);
        if (found == hooks_.end())
            continue;
        const WindowHook hook = found->second;
        if (hook(*event))
            return true;
    }
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool was = change->oldState().testFlag(Qt::WindowMinimized);
        const bool now = mainWindow_->windowState().testFlag(Qt::WindowMinimized);
        if (!was && now && OnMinimize)
            OnMinimize(this);
        else if (was && !now && OnRestore)
            OnRestore(this);
    }
    return false;
}

KitApplication& Application() {
    static KitApplication application;
    return application;
}

} // namespace kd
