#include "ChildProcess.h"

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace kd::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> environment(extraEnvironment);
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry); // earlier entries win in getenv
    std::vector<char*> argv, envp;
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
        throw std::runtime_error("cannot start " + program);
}

ChildProcess::~ChildProcess() {
    kill();
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds limit) {
    eventually([this] { return !running(); }, limit);
    return status_;
}

bool ChildProcess::running() {
    if (status_)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_)
        return true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

void ChildProcess::kill() {
    if (!running())
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = -1;
}

LockState flockStateOf(pid_t pid, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return LockState::None;
    // Lines look like "1: FLOCK  ADVISORY  WRITE 7969 fe:00:10961968 0 EOF", with
    // "->" after the number for a request that is still waiting.
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, device;
        long owner = 0;
        fields >> number >> kind;
        const bool waiting = kind == "->";
        if (waiting)
            fields >> kind;
        fields >> advisory >> mode >> owner >> device;
        const auto inode = device.substr(device.rfind(':') + 1);
        if (kind == "FLOCK" && owner == pid && inode == std::to_string(st.st_ino))
            return waiting ? LockState::Waits : LockState::Holds;
    }
    return LockState::None;
}

} // namespace kd::test
