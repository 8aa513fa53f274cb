#pragma once
#include <functional>

class QEvent;
class QObject;

namespace kd {

class TKitWindowHook;

// One event of a watched widget as the hooks see it. Result tells whether the widget
// (or the hook that claimed the event) handled it; it is what the event filter chain
// reports on.
struct THookMessage {
    QObject* target = nullptr;
    QEvent* event = nullptr;
    bool result = false;
};

// A hook's before- or after-event handler; setting handled ends the walk over the
// hooks, and before the widget sees the event, keeps the event from the widget.
using THookMessageEvent =
    std::function<void(TKitWindowHook& sender, THookMessage& message, bool& handled)>;

} // namespace kd
