#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace kd {

class TThTimer;
using ThTimerEvent = std::function<void(TThTimer& sender)>;

// The worker of one TThTimer: its copies of the timer's settings, its stop signal and
// its loop. Shared with the synchronised calls it hands to the timer's thread, so
// that a call running late never reaches a machine that is gone.
class TTimingMachine : public std::enable_shared_from_this<TTimingMachine> {
public:
    std::atomic<bool> enabled{false};
    std::atomic<bool> synchronize{false};
    std::atomic<std::uint32_t> interval{0};

    ThTimerEvent handler() const;
    void setHandler(ThTimerEvent value);
    // Wakes a worker that sleeps because it is disabled with Interval 0.
    void settingsChanged();
    // Ends the wait under way and every later one; the loop ends.
    void stop();

    // The thread body: wait, tick, until stopped.
    void run(TThTimer& owner);

private:
    // One call of the handler; an exception of it is reported, not passed on.
    void tick(TThTimer& owner);
    // The tick run in the owner's thread and waited for (or for the stop).
    void synchronizedTick(TThTimer& owner);
    void tickDone(std::uint64_t ticket);

    mutable std::mutex mutex_;
    std::condition_variable signal_;
    bool stopped_ = false;
    std::uint64_t ticksAsked_ = 0;
    std::uint64_t ticksDone_ = 0;
    ThTimerEvent handler_;
};

} // namespace kd
