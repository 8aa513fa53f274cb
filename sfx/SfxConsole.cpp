#include "sfx/SfxConsole.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace kd {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

// Turns the terminal's echo off for as long as it lives.
class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_) {
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
            std::fputc('\n', stderr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

} // namespace

SfxConsole::SfxConsole() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a waiting read returns at once
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool SfxConsole::InputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool SfxConsole::Interrupted() {
    return interrupted != 0;
}

std::optional<std::string> SfxConsole::AskLine(const std::string& prompt, bool hidden) {
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    std::optional<EchoOff> echoOff;
    if (hidden && InputIsTerminal())
        echoOff.emplace();
    std::string line;
    for (;;) {
        char ch = 0;
        const ssize_t n = ::read(STDIN_FILENO, &ch, 1);
        if (n < 0 && errno == EINTR && !Interrupted())
            continue;
        if (n <= 0)
            return line.empty() || Interrupted() ? std::nullopt : std::optional(line);
        if (ch == '\n')
            break;
        line += ch;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

void SfxConsole::processEvents() {
    if (Interrupted() && cancel_)
        cancel_();
}

} // namespace kd
