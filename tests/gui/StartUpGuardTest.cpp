#include "app/core/main/StartUpGuard.h"
#include "ChildProcess.h"
#include "TestPaths.h"
#include "support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace kd;
using test::ChildProcess;
using test::eventually;
using test::flockStateOf;
using test::LockState;

namespace {

// Copies of the built program in a directory of their own, which also holds their
// lock files, so that neither their settings nor their locks meet anything else.
class StartUpGuardTest : public ::testing::Test {
protected:
    StartUpGuardTest() { dir.write("Nastaven.txt", "LANGUAGE=CZ\r\n"); }

    std::string copyProgram(const std::string& name) {
        const std::string path = dir.file(name);
        std::filesystem::copy_file(std::string(KORDYNE_BUILD_DIR) + "/app/kordyne", path);
        return path;
    }
    std::unique_ptr<ChildProcess> start(const std::string& program,
                                        std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), program);
        return std::make_unique<ChildProcess>(
            program, arguments,
            std::vector<std::string>{"XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM=offscreen"});
    }
    bool holdsLock(ChildProcess& process, const std::string& lockName) {
        return eventually([&] {
                   return flockStateOf(process.pid(), dir.file(lockName)) == LockState::Holds ||
                          !process.running();
               }) &&
               process.running();
    }

    test::TempDir dir;
};

} // namespace

TEST_F(StartUpGuardTest, SecondCopyEndsAtOnceAndAWaitingCopyFollowsTheFirst) {
    const std::string program = copyProgram("kordyne");
    const auto first = start(program);
    ASSERT_TRUE(holdsLock(*first, "kordyne.lock"));

    // A file name differing only in letter case shares the lock.
    const auto second = start(copyProgram("KorDyne"));
    EXPECT_EQ(second->waitForExit(), 0);
    // A second copy asked to back up did not do it: that must not look like success.
    const auto refusedRun = start(program, {"a", "data"});
    EXPECT_EQ(refusedRun->waitForExit(), 1);

    const auto waiting = start(program, {"a", "x-NoWAITing"});
    EXPECT_TRUE(eventually([&] {
        return flockStateOf(waiting->pid(), dir.file("kordyne.lock")) == LockState::Waits;
    }));
    EXPECT_TRUE(waiting->running());

    first->kill();
    EXPECT_TRUE(holdsLock(*waiting, "kordyne.lock"));
}

TEST_F(StartUpGuardTest, CopyUnderAnotherNameRunsBeside) {
    const auto first = start(copyProgram("kordyne"));
    ASSERT_TRUE(holdsLock(*first, "kordyne.lock"));
    const auto other = start(copyProgram("kordyne-b"));
    EXPECT_TRUE(holdsLock(*other, "kordyne-b.lock"));
}

TEST_F(StartUpGuardTest, ChildOfTheFirstCopyDoesNotKeepTheLock) {
    const std::string program = copyProgram("kordyne");
    // The first copy takes the guard, starts a long-running child and ends without
    // releasing the guard itself, as on a crash.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t first = ::fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        StartUpGuard guard(program, {}, dir.path());
        pid_t child = -1;
        char sleepName[] = "sleep", seconds[] = "60";
        char* argv[] = {sleepName, seconds, nullptr};
        if (guard.StartUp())
            ::posix_spawn(&child, "/bin/sleep", nullptr, nullptr, argv, environ);
        [[maybe_unused]] auto written = ::write(pipeFds[1], &child, sizeof child);
        ::_exit(0);
    }
    pid_t child = -1;
    ASSERT_EQ(::read(pipeFds[0], &child, sizeof child), static_cast<ssize_t>(sizeof child));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::waitpid(first, nullptr, 0);
    ASSERT_GT(child, 0);

    const auto next = start(program);
    EXPECT_TRUE(holdsLock(*next, "kordyne.lock"));
    EXPECT_EQ(::kill(child, 0), 0); // the child still runs
    ::kill(child, SIGKILL);
}

TEST_F(StartUpGuardTest, WaitIsLookedForOnlyInTheArguments) {
    EXPECT_TRUE(StartUpGuard::asksToWait({"a", "AWAITED"}));
    EXPECT_FALSE(StartUpGuard::asksToWait({"wai", "t", "w ait"}));
    EXPECT_FALSE(StartUpGuard::asksToWait({}));

    StartUpGuard first("/opt/kordyne", {}, dir.path());
    ASSERT_TRUE(first.StartUp());
    StartUpGuard second("/srv/wait/KORDYNE", {"1"}, dir.path());
    EXPECT_FALSE(second.StartUp());
    first.ReleaseGuard();
    EXPECT_TRUE(second.StartUp());
}
