#pragma once
#include "widgets/tray/TIconList.h"
#include "widgets/tray/TrayArea.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace kd {

class TKitPopupMenu;

// The keys and buttons held during a mouse notification, and whether it is a double
// click.
struct TrayShiftState {
    Qt::KeyboardModifiers Keys;
    Qt::MouseButtons Buttons;
    bool Double = false;
};

// One icon in the notification area with its tooltip (the hint's part before "|", at
// most 63 characters). Mouse notifications become events; a right click opens
// PopupMenu, a double click runs the menu's enabled default item. While Animated, the
// icon cycles through the frames of Icons every Interval ms, driven by a timer of the
// GUI thread, and only while the icon is shown.
class TKitTrayIcon : public QObject {
    Q_OBJECT
public:
    using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                           TrayShiftState shift, int x, int y)>;
    using TMouseMoveEvent =
        std::function<void(QObject* sender, TrayShiftState shift, int x, int y)>;

    // Uses the desktop's notification area.
    explicit TKitTrayIcon(QObject* owner = nullptr);
    TKitTrayIcon(std::unique_ptr<TrayArea> area, QObject* owner);
    ~TKitTrayIcon() override;
    TKitTrayIcon(const TKitTrayIcon&) = delete;
    TKitTrayIcon& operator=(const TKitTrayIcon&) = delete;

    // After the owner has set the properties: shows the icon when Active.
    void Loaded();

    bool Active() const { return active_; }
    void SetActive(bool value);
    // The icon is in the notification area now (false where there is none).
    bool Shown() const { return shown_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& value);
    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    TIconList& Icons() { return icons_; }
    void SetIcons(const TIconList& icons) { icons_.Assign(icons); }
    bool Animated() const { return animated_; }
    void SetAnimated(bool value);
    int Interval() const { return interval_; }
    void SetInterval(quint16 milliseconds);
    TKitPopupMenu* PopupMenu() const;
    // Not owned; a menu that is destroyed leaves none.
    void SetPopupMenu(TKitPopupMenu* menu);

    // The icon shown now: the current frame while animated, else Icon.
    QIcon CurrentIcon() const;
    int FrameIndex() const { return frame_; }
    // The tooltip the area gets.
    QString Tip() const;
    // One step of the animation: the next frame.
    void AdvanceFrame();

    TMouseEvent OnClick;
    std::function<void(QObject* sender)> OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    virtual void DoDblClick();
    virtual void DoClick(Qt::MouseButton button, TrayShiftState shift, int x, int y);
    virtual void DoMouseDown(Qt::MouseButton button, TrayShiftState shift, int x, int y);
    virtual void DoMouseMove(TrayShiftState shift, int x, int y);
    virtual void DoMouseUp(Qt::MouseButton button, TrayShiftState shift, int x, int y);

    // Opens the popup menu at the screen point; false when there is none or the icon is
    // not active.
    bool ShowPopupAt(int x, int y);
    // Runs the popup menu's enabled default item; false when none ran.
    bool RunDefaultItem();

private:
    void notify(TrayMouse message);
    void dispatch(TrayMouse message);
    void ShowIcon();
    void HideIcon();
    void UpdateNotifyIcon();
    void updateTimer();

    std::unique_ptr<TrayArea> area_;
    bool active_ = true;
    bool shown_ = false;
    bool animated_ = false;
    bool enabled_ = true;
    bool leftPressed_ = false;
    bool rightPressed_ = false;
    bool destroying_ = false;
    int frame_ = -1;
    quint16 interval_ = 150;
    QIcon icon_;
    TIconList icons_;
    QString hint_;
    QPointer<TKitPopupMenu> popupMenu_;
    QTimer timer_;
};

} // namespace kd
