#include "platform/ChildProcess.h"

#include "platform/Exception.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace kd {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

// The longest a pump waits for its next call.
constexpr milliseconds kSlice(20);
// How long a stopped program has to end before the next, harder step.
constexpr milliseconds kGrace(1000);

// Time left before deadline, at most one slice, never negative.
milliseconds sliceBefore(ChildProcess::Deadline deadline) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - SteadyClock::now()) + milliseconds(1);
    return std::clamp(left, milliseconds(0), kSlice);
}

// posix_spawn's two attribute sets, released however the start goes.
class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup() {
        ::posix_spawnattr_destroy(&attributes_);
        ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t* actions() { return &actions_; }
    posix_spawnattr_t* attributes() { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

} // namespace

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& arguments) {
    int ends[2];
    // A socket, not a pipe: a send to a program that is gone fails with EPIPE under
    // MSG_NOSIGNAL instead of raising the process-wide SIGPIPE.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw Exception("Cannot start " + path + ": " + std::strerror(errno));
    UniqueFd ours(ends[0]);
    UniqueFd theirs(ends[1]);
    ::shutdown(ours.get(), SHUT_RD); // nothing comes back this way

    SpawnSetup setup;
    ::posix_spawn_file_actions_adddup2(setup.actions(), theirs.get(), STDIN_FILENO);
    // Nothing else of ours: a mail client that stays open must not hold our files.
    ::posix_spawn_file_actions_addclosefrom_np(setup.actions(), STDERR_FILENO + 1);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    ::posix_spawnattr_setsigmask(setup.attributes(), &none);
    ::posix_spawnattr_setsigdefault(setup.attributes(), &defaults);
    ::posix_spawnattr_setpgroup(setup.attributes(), 0);
    ::posix_spawnattr_setflags(setup.attributes(), POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                       POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> owned{path};
    owned.insert(owned.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int error = ::posix_spawn(&pid, path.c_str(), setup.actions(), setup.attributes(),
                                        argv.data(), environ);
        error != 0)
        throw Exception("Cannot start " + path + ": " + std::strerror(error));
    pid_ = pid;
    input_ = std::move(ours);
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::write(std::string_view bytes, Deadline deadline, const Pump& pump) {
    if (!input_)
        throw Exception("The program's input is closed");
    // Once per piece, so that a program reading quickly still leaves the window alive.
    if (pump)
        pump();
    while (!bytes.empty()) {
        if (SteadyClock::now() >= deadline)
            return false;
        const ssize_t sent =
            ::send(input_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw Exception(std::string("The program stopped reading its input: ") +
                            std::strerror(errno));
        // Full: wait a slice for room, keeping the window alive meanwhile.
        pollfd ready{input_.get(), POLLOUT, 0};
        ::poll(&ready, 1, static_cast<int>(sliceBefore(deadline).count()));
        if (pump)
            pump();
    }
    return true;
}

void ChildProcess::closeInput() {
    input_.close();
}

ProcessEnd ChildProcess::reaped() {
    ProcessEnd end;
    if (pid_ <= 0)
        return end;
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (done < 0) // reaped elsewhere: how it ended is unknown
        return end;
    if (WIFEXITED(status))
        end.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

bool ChildProcess::hasEnded() {
    if (pid_ <= 0)
        return true;
    siginfo_t info{};
    // WNOWAIT: the program stays a zombie, holding its process id for stop().
    while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) < 0) {
        if (errno != EINTR) {
            pid_ = -1; // reaped elsewhere: its id may already be another's
            return true;
        }
    }
    return info.si_pid != 0;
}

bool ChildProcess::waitUntil(Deadline deadline, const Pump& pump) {
    for (milliseconds pause(1);; pause = std::min(pause * 2, kSlice)) {
        if (hasEnded())
            return true;
        if (SteadyClock::now() >= deadline)
            return false;
        if (pump)
            pump();
        std::this_thread::sleep_for(std::min(pause, sliceBefore(deadline)));
    }
}

std::optional<ProcessEnd> ChildProcess::wait(Deadline deadline, const Pump& pump) {
    if (pid_ > 0 && !waitUntil(deadline, pump))
        return std::nullopt;
    return reaped();
}

void ChildProcess::stop(const Pump& pump) {
    if (pid_ > 0) {
        // The whole group: a shell script's own children go with it.
        ::kill(-pid_, SIGTERM);
        waitUntil(SteadyClock::now() + kGrace, pump);
    }
    if (pid_ > 0) {
        // Ended or not, the program still holds its process id, so the group's id can
        // name no other group: whatever of the group ignored the request goes now.
        ::kill(-pid_, SIGKILL);
        if (waitUntil(SteadyClock::now() + kGrace, pump))
            reaped();
        else
            detach(); // stuck in the kernel: reaped whenever it ends
    }
    input_.close();
}

void ChildProcess::detach() {
    if (pid_ > 0) {
        try {
            std::thread([pid = pid_] {
                int status = 0;
                while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: it stays a zombie until we end, which beats failing.
        }
        pid_ = -1;
    }
    input_.close();
}

} // namespace kd
