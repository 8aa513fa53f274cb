#include "platform/ChildProcess.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"
#include "support/TempDir.h"

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace kd::test {
namespace {

using namespace std::chrono_literals;

ChildProcess::Deadline in(std::chrono::milliseconds span) {
    return std::chrono::steady_clock::now() + span;
}

// Generous: the programs here end at once unless a test holds them on purpose.
const ChildProcess::Deadline kLater = in(600s);

ChildProcess shell(const std::string& script) {
    return ChildProcess("/bin/sh", {"-c", script});
}

std::size_t openDescriptors() {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

// A process that is gone or a zombie no parent of ours will leave (one reparented to
// init is reaped there, in its own time).
bool stopped(pid_t pid) {
    for (int attempt = 0; attempt < 3000; ++attempt) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text;
        if (!std::getline(stat, text))
            return true;
        const std::size_t close = text.rfind(')');
        if (close != std::string::npos && text.compare(close + 2, 1, "Z") == 0)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(ChildProcess, TheProgramReadsItsInputAndEndsWithItsStatus) {
    TempDir dir;
    const std::string copy = dir.file("copy");
    ChildProcess cat = shell("cat > '" + copy + "'; exit 3");
    const std::string text(300000, 'x'); // more than a socket holds at once
    EXPECT_TRUE(cat.write(text, kLater, {}));
    cat.closeInput();
    const std::optional<ProcessEnd> end = cat.wait(kLater, {});
    ASSERT_TRUE(end);
    EXPECT_EQ(end->exitCode, 3);
    EXPECT_FALSE(cat.running());
    EXPECT_EQ(readWholeFile(copy), text);

    ChildProcess killed = shell("kill -9 $$");
    const std::optional<ProcessEnd> killedEnd = killed.wait(kLater, {});
    ASSERT_TRUE(killedEnd);
    EXPECT_EQ(killedEnd->exitCode, -1);
    EXPECT_EQ(killedEnd->signal, 9);

    EXPECT_THROW(ChildProcess(dir.file("missing"), {}), Exception);
}

TEST(ChildProcess, OnlyStandardInputReachesTheProgramAndNothingIsLeftOpen) {
    const std::size_t before = openDescriptors();
    const int inheritable = ::open("/dev/null", O_RDONLY); // no close-on-exec
    ASSERT_GE(inheritable, 0);
    {
        const std::string fd = std::to_string(inheritable);
        ChildProcess check = shell("test ! -e /dev/fd/" + fd + " && test -S /dev/fd/0");
        EXPECT_EQ(check.wait(kLater, {})->exitCode, 0);
    }
    ::close(inheritable);
    EXPECT_EQ(openDescriptors(), before);
}

TEST(ChildProcess, AProgramThatStopsReadingMakesTheWriteFail) {
    ChildProcess gone = shell("exit 0");
    const std::string text(8 << 20, 'x');
    EXPECT_THROW(gone.write(text, kLater, {}), Exception);
}

TEST(ChildProcess, AProgramThatNeitherReadsNorEndsIsLeftAtTheDeadlineAndStoppedWithItsGroup) {
    TempDir dir;
    const std::string pids = dir.file("pids");
    pid_t program = 0;
    int pumped = 0;
    {
        // A shell ignoring the request to end, with a child of its own.
        ChildProcess stuck =
            shell("trap '' TERM; sleep 600 & echo $! > '" + pids + "'; while :; do wait; done");
        program = stuck.pid();
        const std::string text(8 << 20, 'x');
        EXPECT_FALSE(stuck.write(text, in(200ms), [&] { ++pumped; }));
        EXPECT_GT(pumped, 0); // the window was kept alive while the program did not read
        EXPECT_FALSE(stuck.wait(in(100ms), {}));
        EXPECT_TRUE(stuck.running());
        // Stopped as the object goes.
    }
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(program))); // reaped
    const std::vector<std::string> lines = readTextLines(pids);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(stopped(std::stoi(lines[0])));
}

TEST(ChildProcess, ADetachedProgramRunsOnAndIsReapedWhenItEnds) {
    TempDir dir;
    const std::string go = dir.file("go");
    ChildProcess waiting = shell("while test ! -e '" + go + "'; do sleep 0.05; done");
    const pid_t pid = waiting.pid();
    waiting.detach();
    EXPECT_FALSE(waiting.running());
    EXPECT_TRUE(std::filesystem::exists("/proc/" + std::to_string(pid)));
    dir.write("go", "");
    for (int attempt = 0; attempt < 3000 && std::filesystem::exists("/proc/" + std::to_string(pid));
         ++attempt)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(pid))); // no zombie
}

} // namespace
} // namespace kd::test
