#include "widgets/timer/TTimingMachine.h"

#include "widgets/timer/TThTimer.h"

#include <QMetaObject>
#include <QtGlobal>
#include <chrono>
#include <exception>

namespace kd {

ThTimerEvent TTimingMachine::handler() const {
    const std::lock_guard lock(mutex_);
    return handler_;
}

void TTimingMachine::setHandler(ThTimerEvent value) {
    const std::lock_guard lock(mutex_);
    handler_ = std::move(value);
}

void TTimingMachine::settingsChanged() {
    // Taken so that a worker between its check and its sleep cannot miss the call.
    const std::lock_guard lock(mutex_);
    signal_.notify_all();
}

void TTimingMachine::stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    signal_.notify_all();
}

void TTimingMachine::run(TThTimer& owner) {
    std::unique_lock lock(mutex_);
    while (!stopped_) {
        const std::uint32_t ms = interval;
        if (ms == 0 && !enabled) {
            // Waking at once for nothing, over and over, would only burn the processor.
            signal_.wait(lock, [&] { return stopped_ || enabled || interval != 0; });
            continue;
        }
        // Setters notify too; only the stop ends the wait before its time.
        if (signal_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopped_; }))
            break;
        if (!enabled)
            continue;
        lock.unlock();
        if (synchronize)
            synchronizedTick(owner);
        else
            tick(owner);
        lock.lock();
    }
}

void TTimingMachine::tick(TThTimer& owner) {
    const ThTimerEvent call = handler();
    if (!call)
        return;
    try {
        call(owner);
    } catch (const std::exception& e) {
        qWarning("Timer handler failed: %s", e.what());
    } catch (...) {
        qWarning("Timer handler failed");
    }
}

void TTimingMachine::tickDone(std::uint64_t ticket) {
    const std::lock_guard lock(mutex_);
    ticksDone_ = ticket;
    signal_.notify_all();
}

void TTimingMachine::synchronizedTick(TThTimer& owner) {
    std::unique_lock lock(mutex_);
    if (stopped_)
        return;
    const std::uint64_t ticket = ++ticksAsked_;
    lock.unlock();
    // The owner is the call's context: a call not yet run when the owner goes is
    // dropped with it, so &owner is valid whenever the call runs.
    QMetaObject::invokeMethod(
        &owner,
        [self = shared_from_this(), timer = &owner, ticket] {
            self->tick(*timer);
            self->tickDone(ticket);
        },
        Qt::QueuedConnection);
    lock.lock();
    signal_.wait(lock, [&] { return stopped_ || ticksDone_ >= ticket; });
}

} // namespace kd
