#pragma once
#include <QObject>
#include <QThread>

#include "widgets/timer/TTimingMachine.h"

#include <cstdint>
#include <memory>

namespace kd {

// A timer that ticks from a worker thread of its own instead of the window timer,
// so that ticks keep coming while the GUI thread is busy. Each timer owns its worker
// and the worker's stop signal (a condition variable); nothing is shared between
// timers.
//
// The worker waits Interval ms, then, when Enabled, calls OnTimer with the timer as
// sender: in the worker thread, or with Synchronize handed to the thread the timer
// lives in and waited for. The next wait starts only after the handler has returned,
// so ticks never overlap or queue up. No setter restarts the wait under way; a new
// Interval counts from the next one. A disabled timer's worker keeps waking (with
// Interval 0 it sleeps until a setter or the destructor wakes it).
//
// An exception of the handler is caught and shown as a warning; the timer ticks on.
// Destroying the timer ends the wait at once, drops a synchronised tick that has not
// run yet, and waits only for a handler that is running in the worker.
class TThTimer : public QObject {
    Q_OBJECT
public:
    using TimerEvent = ThTimerEvent;

    // Synchronize starts True with an owner, False without one.
    explicit TThTimer(QObject* owner = nullptr);
    ~TThTimer() override;
    TThTimer(const TThTimer&) = delete;
    TThTimer& operator=(const TThTimer&) = delete;

    bool Enabled() const;
    void SetEnabled(bool value);
    std::uint32_t Interval() const;
    void SetInterval(std::uint32_t milliseconds);
    bool Synchronize() const;
    void SetSynchronize(bool value);
    TimerEvent OnTimer() const;
    void SetOnTimer(TimerEvent handler);
    // The worker thread's scheduling priority.
    QThread::Priority Priority() const;
    void SetPriority(QThread::Priority priority);

private:
    std::shared_ptr<TTimingMachine> machine_;
    std::unique_ptr<QThread> worker_;
};

} // namespace kd
