#include "app/core/main/StartUpGuard.h"
#include "ChildProcess.h"
#include "ProgramCopy.h"
#include "support/TempDir.h"

#include <csignal>
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
using test::ProgramCopy;

namespace {

// Copies of the built program in a directory of their own, under names no other copy
// has, so that neither their settings nor their locks meet anything else.
class StartUpGuardTest : public ::testing::Test {
protected:
    StartUpGuardTest() { dir.write("Nastaven.txt", "LANGUAGE=CZ\r\n"); }

    // A copy of the file name (letter case as given); one name twice is one copy.
    const ProgramCopy& copyProgram(const std::string& fileName) {
        return *copies.emplace_back(std::make_unique<ProgramCopy>(dir.path(), fileName));
    }
    std::unique_ptr<ChildProcess> start(const ProgramCopy& program,
                                        std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), program.path());
        return std::make_unique<ChildProcess>(
            program.path(), arguments, std::vector<std::string>{"QT_QPA_PLATFORM=offscreen"});
    }
    bool holdsLock(ChildProcess& process, const ProgramCopy& program) {
        return eventually([&] {
                   return flockStateOf(process.pid(), program.lockPath()) == LockState::Holds ||
                          !process.running();
               }) &&
               process.running();
    }

    test::TempDir dir;
    const std::string name = ProgramCopy::uniqueName();
    std::vector<std::unique_ptr<ProgramCopy>> copies;
};

} // namespace

TEST_F(StartUpGuardTest, SecondCopyEndsAtOnceAndAWaitingCopyFollowsTheFirst) {
    const ProgramCopy& program = copyProgram(name);
    const auto first = start(program);
    ASSERT_TRUE(holdsLock(*first, program));

    // A file name differing only in letter case shares the lock.
    const auto second = start(copyProgram("KorDyne" + name.substr(7))); // name: "kordyne-..."
    EXPECT_EQ(second->waitForExit(), 0);
    // A second copy asked to back up did not do it: that must not look like success.
    const auto refusedRun = start(program, {"a", "data"});
    EXPECT_EQ(refusedRun->waitForExit(), 1);

    const auto waiting = start(program, {"a", "x-NoWAITing"});
    EXPECT_TRUE(eventually(
        [&] { return flockStateOf(waiting->pid(), program.lockPath()) == LockState::Waits; }));
    EXPECT_TRUE(waiting->running());

    first->kill();
    EXPECT_TRUE(holdsLock(*waiting, program));
}

TEST_F(StartUpGuardTest, CopyUnderAnotherNameRunsBeside) {
    const ProgramCopy& program = copyProgram(name);
    const auto first = start(program);
    ASSERT_TRUE(holdsLock(*first, program));
    const ProgramCopy& renamed = copyProgram(name + "-b");
    const auto other = start(renamed);
    EXPECT_TRUE(holdsLock(*other, renamed));
}

TEST_F(StartUpGuardTest, ChildOfTheFirstCopyDoesNotKeepTheLock) {
    const ProgramCopy& program = copyProgram(name);
    // The first copy takes the guard, starts a long-running child and ends without
    // releasing the guard itself, as on a crash.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t first = ::fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        StartUpGuard guard(program.path(), {});
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
    EXPECT_TRUE(holdsLock(*next, program));
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
