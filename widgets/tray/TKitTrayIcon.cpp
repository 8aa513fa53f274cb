#include "widgets/tray/TKitTrayIcon.h"

#include "widgets/appevents/KitApplication.h"
#include "widgets/menu/TKitPopupMenu.h"
#include "widgets/tray/QtTrayArea.h"

#include <QApplication>
#include <algorithm>

namespace kd {
namespace {

constexpr int maxTipLength = 63;

} // namespace

TKitTrayIcon::TKitTrayIcon(QObject* owner) : TKitTrayIcon(std::make_unique<QtTrayArea>(), owner) {}

TKitTrayIcon::TKitTrayIcon(std::unique_ptr<TrayArea> area, QObject* owner)
    : QObject(owner), area_(std::move(area)) {
    area_->OnNotify = [this](TrayMouse message) { notify(message); };
    icons_.OnChange = [this] { UpdateNotifyIcon(); };
    timer_.setInterval(interval_);
    connect(&timer_, &QTimer::timeout, this, &TKitTrayIcon::AdvanceFrame);
}

TKitTrayIcon::~TKitTrayIcon() {
    destroying_ = true;
    enabled_ = false;
    area_->OnNotify = nullptr;
    icons_.OnChange = nullptr;
    SetAnimated(false);
    HideIcon();
}

void TKitTrayIcon::Loaded() {
    if (active_)
        ShowIcon();
}

void TKitTrayIcon::SetActive(bool value) {
    if (value == active_)
        return;
    active_ = value;
    if (value)
        ShowIcon();
    else
        HideIcon();
}

void TKitTrayIcon::SetHint(const QString& value) {
    if (value == hint_)
        return;
    hint_ = value;
    UpdateNotifyIcon();
}

void TKitTrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    UpdateNotifyIcon();
}

void TKitTrayIcon::SetInterval(quint16 milliseconds) {
    interval_ = milliseconds;
    timer_.setInterval(milliseconds);
}

TKitPopupMenu* TKitTrayIcon::PopupMenu() const {
    return popupMenu_;
}

void TKitTrayIcon::SetPopupMenu(TKitPopupMenu* menu) {
    popupMenu_ = menu;
}

QIcon TKitTrayIcon::CurrentIcon() const {
    if (icons_.Count() > 0 && animated_)
        return icons_.Get(std::max(std::min(frame_, icons_.Count() - 1), 0));
    return icon_;
}

QString TKitTrayIcon::Tip() const {
    // The short hint: the text before the first "|".
    return hint_.section(QLatin1Char('|'), 0, 0).left(maxTipLength);
}

void TKitTrayIcon::ShowIcon() {
    HideIcon();
    const QIcon current = CurrentIcon();
    if (current.isNull())
        return;
    leftPressed_ = rightPressed_ = false;
    shown_ = area_->Add(current, Tip());
    updateTimer();
}

void TKitTrayIcon::HideIcon() {
    area_->Remove();
    shown_ = false;
    leftPressed_ = rightPressed_ = false;
    updateTimer();
}

void TKitTrayIcon::UpdateNotifyIcon() {
    if (icons_.Count() == 0)
        SetAnimated(false);
    if (shown_) {
        const QIcon current = CurrentIcon();
        if (current.isNull())
            HideIcon();
        else
            area_->Modify(current, Tip());
    } else if (active_ && !destroying_) {
        ShowIcon();
    }
}

void TKitTrayIcon::SetAnimated(bool value) {
    const bool wanted = value && icons_.Count() > 0;
    if (wanted == animated_)
        return;
    animated_ = wanted;
    updateTimer();
    frame_ = 0;
    UpdateNotifyIcon();
}

// The animation ticks only while it runs and the icon is shown.
void TKitTrayIcon::updateTimer() {
    if (animated_ && shown_ && !destroying_) {
        if (!timer_.isActive())
            timer_.start();
    } else {
        timer_.stop();
    }
}

void TKitTrayIcon::AdvanceFrame() {
    if (destroying_ || !animated_)
        return;
    if (++frame_ >= icons_.Count())
        frame_ = 0;
    UpdateNotifyIcon();
}

void TKitTrayIcon::notify(TrayMouse message) {
    if (!enabled_)
        return;
    try {
        dispatch(message);
    } catch (const std::exception& e) {
        Application().HandleException(this, e);
    }
}

void TKitTrayIcon::dispatch(TrayMouse message) {
    const QPoint at = area_->CursorPos();
    const int x = at.x();
    const int y = at.y();
    auto shift = [this](Qt::MouseButton button, bool isDouble = false) {
        return TrayShiftState{area_->Modifiers(), button, isDouble};
    };
    switch (message) {
    case TrayMouse::Move:
        DoMouseMove(shift(Qt::NoButton), x, y);
        break;
    case TrayMouse::LeftDown:
        DoMouseDown(Qt::LeftButton, shift(Qt::LeftButton), x, y);
        leftPressed_ = true;
        break;
    case TrayMouse::LeftUp:
        if (leftPressed_) {
            leftPressed_ = false;
            DoClick(Qt::LeftButton, shift(Qt::LeftButton), x, y);
        }
        DoMouseUp(Qt::LeftButton, shift(Qt::LeftButton), x, y);
        break;
    case TrayMouse::LeftDouble:
        DoDblClick();
        DoMouseDown(Qt::LeftButton, shift(Qt::NoButton, true), x, y);
        break;
    case TrayMouse::RightDown:
        DoMouseDown(Qt::RightButton, shift(Qt::RightButton), x, y);
        rightPressed_ = true;
        break;
    case TrayMouse::RightUp:
        if (rightPressed_) {
            rightPressed_ = false;
            DoClick(Qt::RightButton, shift(Qt::RightButton), x, y);
        }
        DoMouseUp(Qt::RightButton, shift(Qt::RightButton), x, y);
        break;
    case TrayMouse::RightDouble:
        DoMouseDown(Qt::RightButton, shift(Qt::NoButton, true), x, y);
        break;
    case TrayMouse::MiddleDown:
        DoMouseDown(Qt::MiddleButton, shift(Qt::MiddleButton), x, y);
        break;
    case TrayMouse::MiddleUp:
        DoMouseUp(Qt::MiddleButton, shift(Qt::MiddleButton), x, y);
        break;
    case TrayMouse::MiddleDouble:
        DoMouseDown(Qt::MiddleButton, shift(Qt::NoButton, true), x, y);
        break;
    }
}

void TKitTrayIcon::DoClick(Qt::MouseButton button, TrayShiftState shift, int x, int y) {
    if (button == Qt::RightButton && ShowPopupAt(x, y))
        return;
    if (OnClick)
        OnClick(this, button, shift, x, y);
}

void TKitTrayIcon::DoDblClick() {
    if (RunDefaultItem())
        return;
    if (OnDblClick)
        OnDblClick(this);
}

void TKitTrayIcon::DoMouseDown(Qt::MouseButton button, TrayShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TKitTrayIcon::DoMouseMove(TrayShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TKitTrayIcon::DoMouseUp(Qt::MouseButton button, TrayShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

bool TKitTrayIcon::ShowPopupAt(int x, int y) {
    if (!active_ || popupMenu_.isNull())
        return false;
    // Menus open elsewhere close first.
    if (!destroying_)
        if (QWidget* open = QApplication::activePopupWidget())
            open->close();
    popupMenu_->Popup(x, y);
    return true;
}

bool TKitTrayIcon::RunDefaultItem() {
    if (!active_ || popupMenu_.isNull())
        return false;
    QAction* item = popupMenu_->defaultAction();
    if (item == nullptr || !item->isEnabled())
        return false;
    item->trigger();
    return true;
}

} // namespace kd
