#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The full path of a program found in the directories of $PATH, then in the further
// directories given; empty when none holds an executable file of that name.
std::string findProgram(const std::string& name, const std::vector<std::string>& further = {});

// How a started program ended.
struct ProgramExit {
    bool started = false; // false: it could not be started (detail says why)
    bool running = false; // still running when the wait ran out; left to end alone
    int status = -1;      // its exit status when it ended normally, else -1
    std::string detail;   // why it failed, for the log

    bool succeeded() const { return started && !running && status == 0; }
};

// Writes the program's standard input; gets a function that sends bytes to it.
using InputWriter = std::function<void(const std::function<void(std::string_view)>& send)>;

// Starts the program (path, then its arguments, each one argument, no shell) with
// input (when given) on its standard input, and waits up to limit for it to end,
// calling pump (when given) meanwhile so that a window stays responsive. A
// program still running then is left to end by itself (a thread reaps it). An
// exception of input ends the input early, kills the program and goes on to the
// caller; a program that stops reading makes the send fail the same way.
ProgramExit runProgram(const std::string& path, const std::vector<std::string>& arguments,
                       const InputWriter& input, std::chrono::milliseconds limit,
                       const std::function<void()>& pump = {});

} // namespace kd
