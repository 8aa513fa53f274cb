#pragma once
#include "platform/DateTime.h"

#include <chrono>

namespace kd {

// The source of "now"; tests inject a fake that they advance by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::system_clock::time_point now() const = 0;
    // Local date and time of now().
    TDateTime nowLocal() const { return toDateTime(now()); }
};

class SystemClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override {
        return std::chrono::system_clock::now();
    }
};

} // namespace kd
