#include "app/core/mail/MailProgram.h"

#include "platform/Exception.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kd {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Sends every byte to the program's input; a program that stopped reading gives an
// error instead of the process-wide SIGPIPE (the input is a socket, not a pipe).
void sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0)
            throw Exception(std::string("The program stopped reading its input: ") +
                            std::strerror(errno));
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

enum class Waited { Ended, Running, Lost };

// Waits for the child up to limit; status holds how it ended.
Waited waitFor(pid_t pid, std::chrono::milliseconds limit, int& status,
               const std::function<void()>& pump) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (std::chrono::milliseconds pause(1);;
         pause = std::min(pause * 2, std::chrono::milliseconds(100))) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return Waited::Ended;
        if (done < 0 && errno != EINTR)
            return Waited::Lost; // reaped elsewhere: how it ended is unknown
        if (std::chrono::steady_clock::now() >= until)
            return Waited::Running;
        if (pump)
            pump();
        std::this_thread::sleep_for(pause);
    }
}

// Reaps a child that outlived its wait, so it leaves no zombie behind.
void reapLater(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

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
                       const std::function<void()>& pump) {
    ProgramExit result;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        result.detail = std::strerror(errno);
        return result;
    }
    UniqueFd ours(ends[0]);
    UniqueFd theirs(ends[1]);

    SpawnActions actions;
    // dup2 clears close-on-exec on the copy, so only standard input reaches the child.
    ::posix_spawn_file_actions_adddup2(actions.get(), theirs.get(), STDIN_FILENO);
    std::vector<char*> argv;
    std::vector<std::string> owned{path};
    owned.insert(owned.end(), arguments.begin(), arguments.end());
    for (std::string& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int error =
            ::posix_spawn(&pid, path.c_str(), actions.get(), nullptr, argv.data(), environ);
        error != 0) {
        result.detail = std::strerror(error);
        return result;
    }
    result.started = true;
    theirs.close();

    try {
        if (input)
            input([&](std::string_view bytes) { sendAll(ours.get(), bytes); });
    } catch (...) {
        ::kill(pid, SIGTERM);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        throw;
    }
    // The end of the input: the program sees end of file.
    ::shutdown(ours.get(), SHUT_WR);

    int status = 0;
    switch (waitFor(pid, limit, status, pump)) {
    case Waited::Running:
        result.running = true;
        reapLater(pid);
        return result;
    case Waited::Lost:
        result.detail = "its exit status could not be read";
        return result;
    case Waited::Ended:
        break;
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.detail = std::string("ended by signal ") + std::to_string(WTERMSIG(status));
    if (result.status > 0)
        result.detail = "exit status " + std::to_string(result.status);
    return result;
}

} // namespace kd
