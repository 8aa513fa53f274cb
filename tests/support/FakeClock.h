#pragma once
#include "platform/Clock.h"

namespace kd::test {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(std::chrono::system_clock::time_point start = {}) : now_(start) {}
    std::chrono::system_clock::time_point now() const override { return now_; }
    void set(std::chrono::system_clock::time_point t) { now_ = t; }
    // Sets the clock to a local date and time.
    void setLocal(TDateTime local) { now_ = std::chrono::system_clock::from_time_t(toTimeT(local)); }
    template <class Duration> void advance(Duration d) { now_ += d; }

private:
    std::chrono::system_clock::time_point now_;
};

} // namespace kd::test
