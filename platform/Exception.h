#pragma once
#include <stdexcept>
#include <string>

namespace kd {

// Root of every error the program reports: carries the message shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Cancels an operation without a message (the user chose to stop).
class SilentAbort : public Exception {
public:
    SilentAbort() : Exception("Operation aborted") {}
};

} // namespace kd
