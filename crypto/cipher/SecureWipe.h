#pragma once
#include "crypto/base/Bits.h"

namespace kd {

// Wipes an object (a key buffer, a schedule) when the scope ends, also by exception.
template <class T> class WipeOnExit {
public:
    explicit WipeOnExit(T& object) : object_(object) {}
    ~WipeOnExit() { SecureFill(&object_, sizeof(T), 0); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    T& object_;
};

} // namespace kd
