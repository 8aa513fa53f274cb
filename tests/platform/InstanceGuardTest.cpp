#include "platform/InstanceGuard.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kd;

TEST(InstanceGuard, LockNameLowersOnlyAsciiLettersAndKeepsTheFileName) {
    EXPECT_EQ(InstanceGuard::lockNameFor("/opt/KorDyne/KORDYNE"), "kordyne");
    EXPECT_EQ(InstanceGuard::lockNameFor("Back\\Up"), "back_up");
}

TEST(InstanceGuard, SecondHolderIsRefusedUntilTheFirstReleases) {
    test::TempDir dir;
    InstanceGuard first("k", dir.path());
    ASSERT_TRUE(first.tryAcquire());
    // flock locks belong to the open file, so a second open in this process competes.
    InstanceGuard second("k", dir.path());
    EXPECT_FALSE(second.tryAcquire());
    first.release();
    EXPECT_TRUE(second.tryAcquire());
}

TEST(InstanceGuard, ChildProcessDoesNotKeepTheLock) {
    test::TempDir dir;
    pid_t child = -1;
    {
        InstanceGuard guard("k", dir.path());
        ASSERT_TRUE(guard.tryAcquire());
        child = ::fork();
        if (child == 0) {
            ::execlp("sleep", "sleep", "3", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        guard.release();
    }
    InstanceGuard next("k", dir.path());
    EXPECT_TRUE(next.tryAcquire());
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
}
