#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kd::test {

// A program started by a test; killed when the object goes, if still running.
class ChildProcess {
public:
    // Starts program with the arguments (argument 0 is the program path) and the
    // environment of the test plus the given "NAME=value" entries.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnvironment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // The exit status once the process has ended within the limit; nullopt otherwise.
    std::optional<int> waitForExit(std::chrono::milliseconds limit = std::chrono::seconds(20));
    bool running();
    void kill();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Flock state of a file as /proc/locks shows it.
enum class LockState { None, Holds, Waits };
LockState flockStateOf(pid_t pid, const std::string& path);

// Polls until the condition holds; false when it still fails after the limit.
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(20),
                std::chrono::milliseconds every = std::chrono::milliseconds(10));

} // namespace kd::test

#include <thread>

template <class Condition>
bool kd::test::eventually(Condition condition, std::chrono::milliseconds limit,
                          std::chrono::milliseconds every) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(every);
    }
    return true;
}
