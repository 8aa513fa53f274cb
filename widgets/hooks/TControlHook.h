#pragma once
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace kd {

class TKitWindowHook;
struct THookMessage;

// The record shared by every hook of one widget: one event filter on the widget that
// walks the hooks before the widget's other filters and its own handling, and after
// them. Owned by THookList.
class TControlHook : public QObject {
    Q_OBJECT
public:
    explicit TControlHook(std::uint64_t serial);
    ~TControlHook() override;

    std::uint64_t serial() const { return serial_; }
    QWidget* WinControl() const { return control_; }
    // A different widget ends the filtering of the old one; the new one is filtered
    // when the record has hooks.
    void SetWinControl(QWidget* control);
    const std::vector<TKitWindowHook*>& hooks() const { return hooks_; }
    bool subclassing() const { return filtering_; }

    void addHook(TKitWindowHook& hook);
    void removeHook(TKitWindowHook& hook);
    // Detaches every hook, last attached first, and forgets the widget.
    void releaseAll();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HookWinControl();
    void UnhookWinControl();
    void NotifyHooks(bool before, THookMessage& message, bool& handled);
    // Whether a hook wants to see this kind of event after the widget.
    bool wantsAfter(QEvent::Type type) const;

    std::uint64_t serial_;
    std::vector<TKitWindowHook*> hooks_; // in attachment order
    std::vector<QEvent*> passing_;       // events sent on by this filter just now
    QPointer<QWidget> control_;
    QMetaObject::Connection destroyedConnection_;
    bool filtering_ = false;
    bool destroying_ = false;
};

} // namespace kd
