#include "widgets/hooks/TKitWindowHook.h"

#include "widgets/hooks/TControlHook.h"
#include "widgets/hooks/THookList.h"

namespace kd {

TKitWindowHook::TKitWindowHook(QObject* owner) : QObject(owner) {}

TKitWindowHook::~TKitWindowHook() {
    setActive(false);
    setWinControl(nullptr);
}

void TKitWindowHook::setActive(bool value) {
    if (active_ == value)
        return;
    if (value)
        HookControl();
    else
        UnhookControl();
}

QWidget* TKitWindowHook::WinControl() const {
    if (hook_ && hook_->WinControl())
        return hook_->WinControl();
    return control_;
}

void TKitWindowHook::setWinControl(QWidget* control) {
    if (WinControl() == control && control_ == control)
        return;
    const bool wasActive = active_;
    TControlHook* left = hook_;
    UnhookControl();
    control_ = control;
    if (left && left->hooks().empty() && THookList::exists())
        THookList::instance().postRelease(*left);
    if (wasActive)
        HookControl();
}

void TKitWindowHook::HookControl() {
    if (control_) {
        TControlHook& record = THookList::instance().recordFor(*control_);
        record.addHook(*this);
    }
    active_ = true;
}

void TKitWindowHook::UnhookControl() {
    if (hook_)
        hook_->removeHook(*this);
    active_ = false;
}

void TKitWindowHook::DoBeforeMessage(THookMessage& message, bool& handled) {
    if (BeforeMessage)
        BeforeMessage(*this, message, handled);
}

void TKitWindowHook::DoAfterMessage(THookMessage& message, bool& handled) {
    if (AfterMessage)
        AfterMessage(*this, message, handled);
}

} // namespace kd
