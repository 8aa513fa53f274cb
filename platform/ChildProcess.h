#pragma once
#include "platform/UniqueFd.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kd {

// How a program ended.
struct ProcessEnd {
    int exitCode = -1; // its exit status when it ended by itself, else -1
    int signal = 0;    // the signal that ended it, else 0

    bool succeeded() const { return exitCode == 0; }
};

// A program started without a shell, its standard input a connection we write to and
// no other descriptor of ours open in it. It runs in a process group of its own, so
// that stopping it stops whatever it started as well.
//
// Writing and waiting never block for long: between slices of a few milliseconds
// they call the pump given (a window's event pump) and they give up at a deadline.
// A program still running when the object goes is stopped and reaped, unless
// detach() left it to run; it never stays behind as a zombie.
class ChildProcess {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    using Pump = std::function<void()>;

    // path: the program itself (no search); arguments: each one argument.
    // Throws kd::Exception when it cannot be started.
    ChildProcess(const std::string& path, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Sends all of bytes to its input; false when the deadline came first. Throws
    // kd::Exception when the program no longer reads (it closed its input or ended).
    bool write(std::string_view bytes, Deadline deadline, const Pump& pump);
    // Ends its input: the program reads end of file.
    void closeInput();
    // Waits for it to end; nullopt when the deadline came first.
    std::optional<ProcessEnd> wait(Deadline deadline, const Pump& pump);
    // Terminates it and its process group, kills them when they do not end within a
    // second, and reaps it. Its input is closed only then, so a program stopped while
    // reading never takes a message cut short for a whole one.
    void stop(const Pump& pump = {});
    // Leaves it running; a thread of its own reaps it when it ends.
    void detach();

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

private:
    // Whether it has ended; it stays unreaped.
    bool hasEnded();
    // Waits until it has ended (true) or the deadline came.
    bool waitUntil(Deadline deadline, const Pump& pump);
    // Reaps it once it has ended: how it ended.
    ProcessEnd reaped();

    pid_t pid_ = -1; // -1 once reaped or detached
    UniqueFd input_;
};

} // namespace kd
