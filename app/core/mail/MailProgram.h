#pragma once
#include "platform/ChildProcess.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The full path of a program found in the directories of $PATH, then in the further
// directories given; empty when none holds an executable file of that name.
std::string findProgram(const std::string& name, const std::vector<std::string>& further = {});

// What becomes of a program that has read its input but not ended when its time is up
// (one that has not read it all is always stopped).
enum class WhenLate {
    Stop,        // it is stopped: what it was given is not to go out
    LeaveRunning // it goes on alone (a mail client's window the user is working in)
};

// How the hand-over to a program went.
struct ProgramExit {
    enum class Outcome {
        Ended,         // it ended (end says how)
        InputNotTaken, // its time was up before it had read its input
        NotEnded       // it had read its input, but its time was up before it ended
    };
    Outcome outcome = Outcome::Ended;
    ProcessEnd end;

    bool succeeded() const { return outcome == Outcome::Ended && end.succeeded(); }
};

// Writes the program's standard input; gets a function that sends bytes to it.
using InputWriter = std::function<void(const std::function<void(std::string_view)>& send)>;

// Starts the program (path, then its arguments, each one argument, no shell) with
// input (when given) on its standard input, and gives it limit, all told, to read it
// and end, calling pump (when given) meanwhile so that a window stays responsive.
// Throws kd::Exception when it cannot be started, stops reading, or input throws; what
// input or pump throws (a cancel) ends the hand-over at once and goes on to the
// caller. The program is then stopped, or left as at the limit.
ProgramExit runProgram(const std::string& path, const std::vector<std::string>& arguments,
                       const InputWriter& input, std::chrono::milliseconds limit,
                       const std::function<void()>& pump, WhenLate whenLate);

} // namespace kd
