#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kd {

// Fills memory with `value` in a way the optimiser must keep even when the memory is
// never read again (key material about to go out of scope).
inline void SecureFill(void* p, std::size_t size, std::uint8_t value) {
    if (size == 0)
        return;
    std::memset(p, value, size);
    asm volatile("" : : "r"(p) : "memory");
}

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
