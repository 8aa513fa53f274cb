#pragma once
#include "widgets/hooks/THookMessage.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace kd {

class TControlHook;

// Lets its owner see the events of one widget before and after the widget handles
// them, without deriving from the widget. Several hooks may watch one widget; they
// share one TControlHook. A hook that is destroyed, or whose widget is destroyed,
// leaves nothing behind on the other side.
class TKitWindowHook : public QObject {
    Q_OBJECT
public:
    explicit TKitWindowHook(QObject* owner = nullptr);
    ~TKitWindowHook() override;

    bool Active() const { return active_; }
    // On: attaches to the widget's record (made when missing); off: detaches.
    void setActive(bool value);
    QWidget* WinControl() const;
    // Detaches, takes the new widget and attaches again when the hook was active. A
    // record left without hooks is released later, from the event loop.
    void setWinControl(QWidget* control);

    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;
    // The events AfterMessage is for; empty: every event. Seeing an event after the
    // widget costs its delivery being taken over by the hook (see TControlHook).
    std::vector<QEvent::Type> AfterMessageTypes;

    void DoBeforeMessage(THookMessage& message, bool& handled);
    void DoAfterMessage(THookMessage& message, bool& handled);

private:
    friend class TControlHook;
    void HookControl();
    void UnhookControl();

    bool active_ = true;
    QPointer<QWidget> control_;
    TControlHook* hook_ = nullptr; // the record this hook is attached to, owned by THookList
};

} // namespace kd
