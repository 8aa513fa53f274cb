#include "widgets/hooks/TControlHook.h"

#include "widgets/hooks/THookList.h"
#include "widgets/hooks/TKitWindowHook.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <exception>

namespace kd {
namespace {

// Events that reach the widget whatever the hooks say: the end of its native window
// and its own deferred deletion.
bool alwaysDelivered(QEvent::Type type) {
    return type == QEvent::PlatformSurface || type == QEvent::DeferredDelete;
}

} // namespace

TControlHook::TControlHook(std::uint64_t serial) : serial_(serial) {}

TControlHook::~TControlHook() {
    destroying_ = true;
    releaseAll();
}

void TControlHook::SetWinControl(QWidget* control) {
    if (control_ == control)
        return;
    UnhookWinControl();
    QObject::disconnect(destroyedConnection_);
    control_ = control;
    if (control_) {
        // The widget's end frees the record; its filter list goes with the widget.
        destroyedConnection_ = connect(control_, &QObject::destroyed, this, [this] {
            filtering_ = false;
            if (THookList::exists())
                THookList::instance().free(*this);
        });
        if (!hooks_.empty())
            HookWinControl();
    }
}

void TControlHook::HookWinControl() {
    if (!control_ || destroying_ || filtering_)
        return;
    control_->installEventFilter(this);
    filtering_ = true;
}

void TControlHook::UnhookWinControl() {
    if (control_ && filtering_)
        control_->removeEventFilter(this);
    filtering_ = false;
}

void TControlHook::addHook(TKitWindowHook& hook) {
    if (std::find(hooks_.begin(), hooks_.end(), &hook) == hooks_.end())
        hooks_.push_back(&hook);
    hook.hook_ = this;
    HookWinControl();
}

void TControlHook::removeHook(TKitWindowHook& hook) {
    std::erase(hooks_, &hook);
    hook.hook_ = nullptr;
    if (hooks_.empty())
        UnhookWinControl();
}

void TControlHook::releaseAll() {
    destroying_ = true;
    while (!hooks_.empty()) {
        TKitWindowHook& hook = *hooks_.back();
        hook.UnhookControl();
    }
    UnhookWinControl();
    QObject::disconnect(destroyedConnection_);
    control_ = nullptr;
}

bool TControlHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_ || destroying_)
        return false;
    // The event this filter sends on itself goes past it to the rest of the chain.
    if (std::find(passing_.begin(), passing_.end(), event) != passing_.end())
        return false;
    THookList& list = THookList::instance();
    list.enterDelivery(); // keeps this record alive even if its widget goes meanwhile
    THookMessage message{watched, event, false};
    bool handled = false;
    if (event->type() != QEvent::Quit)
        NotifyHooks(true, message, handled);
    const bool deliver = !handled || alwaysDelivered(event->type());
    if (!wantsAfter(event->type())) {
        list.leaveDelivery();
        return !deliver; // Qt delivers it as usual, or not at all
    }
    if (deliver) {
        // Sent on through the widget's other filters and its own handling, so the
        // hooks see the outcome. Filters installed after this record (and those of
        // the application) see such an event twice: a hook asks for the events it
        // needs after the widget (AfterMessageTypes).
        const QPointer<QObject> target = watched;
        passing_.push_back(event);
        message.result = QCoreApplication::sendEvent(watched, event);
        std::erase(passing_, event);
        if (target && target == control_)
            NotifyHooks(false, message, handled);
    }
    list.leaveDelivery(); // may free this record: nothing of it is touched after
    return true;
}

bool TControlHook::wantsAfter(QEvent::Type type) const {
    return std::any_of(hooks_.begin(), hooks_.end(), [type](const TKitWindowHook* hook) {
        if (!hook->AfterMessage)
            return false;
        const auto& types = hook->AfterMessageTypes;
        return types.empty() || std::find(types.begin(), types.end(), type) != types.end();
    });
}

void TControlHook::NotifyHooks(bool before, THookMessage& message, bool& handled) {
    if (hooks_.empty() || !control_ || destroying_)
        return;
    // Last attached first; a hook may detach itself meanwhile, so walk a copy.
    const std::vector<TKitWindowHook*> hooks(hooks_.rbegin(), hooks_.rend());
    for (TKitWindowHook* hook : hooks) {
        if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end())
            continue;
        try {
            if (before)
                hook->DoBeforeMessage(message, handled);
            else
                hook->DoAfterMessage(message, handled);
        } catch (const std::exception& e) {
            qWarning("%s", e.what());
        }
        if (handled)
            break;
    }
}

} // namespace kd
