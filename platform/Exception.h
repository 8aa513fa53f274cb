#pragma once
#include <stdexcept>
#include <string>

namespace kd {

// Root of every error the program reports: carries the message shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Cancels an operation the user chose to stop: a scheduler pass ends without a box;
// a caller that reports it shows the message, which the runs give in the program's
// language.
class SilentAbort : public Exception {
public:
    explicit SilentAbort(const std::string& message = "Operation aborted") : Exception(message) {}
};

} // namespace kd
