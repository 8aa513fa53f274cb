#include "app/core/mail/MailProgram.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Ends the writing of the input when the program's time is up.
struct TimeUp {};

// Ends the hand-over with a program that has not ended. One that has not read all its
// input is stopped before its input is closed, so a message cut short never goes out.
void leave(ChildProcess& program, bool inputTaken, WhenLate whenLate,
           const std::function<void()>& pump) {
    if (whenLate == WhenLate::LeaveRunning && inputTaken)
        program.detach();
    else
        program.stop(pump);
}

} // namespace

std::string findProgram(const std::string& name, const std::vector<std::string>& further) {
    std::vector<std::string> directories;
    const char* path = std::getenv("PATH");
    const std::string list = path ? path : "";
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        // An empty entry means the current directory; a mail program is never taken
        // from there.
        if (end > start)
            directories.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    directories.insert(directories.end(), further.begin(), further.end());
    for (const std::string& directory : directories) {
        if (directory.empty() || directory.front() != '/')
            continue;
        const std::string candidate = directory + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return "";
}

ProgramExit runProgram(const std::string& path, const std::vector<std::string>& arguments,
                       const InputWriter& input, std::chrono::milliseconds limit,
                       const std::function<void()>& pump, WhenLate whenLate) {
    const ChildProcess::Deadline deadline = std::chrono::steady_clock::now() + limit;
    ChildProcess program(path, arguments);
    ProgramExit result;
    bool inputTaken = false;
    try {
        if (input)
            input([&](std::string_view bytes) {
                if (!program.write(bytes, deadline, pump))
                    throw TimeUp{};
            });
        inputTaken = true;
        program.closeInput(); // the program sees end of file
        if (std::optional<ProcessEnd> end = program.wait(deadline, pump)) {
            result.end = *end;
            return result;
        }
        result.outcome = ProgramExit::Outcome::NotEnded;
    } catch (const TimeUp&) {
        result.outcome = ProgramExit::Outcome::InputNotTaken;
    } catch (...) {
        // The input failed, or the pump stopped the hand-over; the pump may be what
        // threw, so the program is left without it.
        leave(program, inputTaken, whenLate, {});
        throw;
    }
    leave(program, inputTaken, whenLate, pump);
    return result;
}

} // namespace kd
