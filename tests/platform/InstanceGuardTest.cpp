#include "platform/InstanceGuard.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kd;

namespace {

// A lock name no other test or program uses; its files in the users' places go with it.
struct UserLockName {
    UserLockName() {
        static int count = 0;
        name = "kordyne-test-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
    }
    ~UserLockName() {
        for (uid_t uid : {::geteuid(), kOtherUser})
            ::unlink(inTmp(uid).c_str());
        ::unlink(InstanceGuard::userLockPath(name).c_str());
    }
    // The name's lock file in /tmp of the user uid.
    std::string inTmp(uid_t uid = ::geteuid()) const {
        return "/tmp/" + name + "-" + std::to_string(uid) + ".lock";
    }
    static constexpr uid_t kOtherUser = 65534; // nobody
    std::string name;
};

// An environment variable set (or unset, for a null value) while the object lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        set(value);
    }
    ~ScopedVariable() { set(old_ ? old_->c_str() : nullptr); }
    void set(const char* value) {
        if (value)
            ::setenv(name_, value, 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// True when another open file description can take the lock of the file now.
bool lockable(const std::string& path) {
    UniqueFd probe(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return probe && ::flock(probe.get(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace

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

// A copy from the desktop has XDG_RUNTIME_DIR, one from cron or ssh has not, and the
// two may see different temporary and home directories.
TEST(InstanceGuard, CopiesOfOneUserShareTheLockWhateverTheirEnvironment) {
    UserLockName lock;
    test::TempDir runtime, temporary, home;
    ScopedVariable runtimeDir("XDG_RUNTIME_DIR", runtime.path().c_str());
    ScopedVariable tmpDir("TMPDIR", temporary.path().c_str());
    ScopedVariable homeDir("HOME", home.path().c_str());
    InstanceGuard desktop(lock.name);
    ASSERT_TRUE(desktop.tryAcquire());

    runtimeDir.set(nullptr);
    tmpDir.set(nullptr);
    homeDir.set(nullptr);
    InstanceGuard cron(lock.name);
    EXPECT_EQ(cron.lockPath(), desktop.lockPath());
    EXPECT_FALSE(cron.tryAcquire());
    desktop.release();
    EXPECT_TRUE(cron.tryAcquire());
}

TEST(InstanceGuard, TheLockLiesInTheUsersOwnCacheFolderElseInTmp) {
    UserLockName lock;
    test::TempDir home;
    const std::string cache = home.file(".cache");
    const std::string inCache = cache + "/" + lock.name + ".lock";
    EXPECT_EQ(InstanceGuard::userLockPath(lock.name, home.path()), inCache);
    struct stat st {};
    ASSERT_EQ(::stat(cache.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(InstanceGuard::userLockPath(lock.name, home.path()), inCache) << "made once";

    // A folder others may write to lets them take the name first.
    ASSERT_EQ(::chmod(cache.c_str(), 0770), 0);
    EXPECT_EQ(InstanceGuard::userLockPath(lock.name, home.path()), lock.inTmp());
    EXPECT_EQ(InstanceGuard::userLockPath(lock.name, ""), lock.inTmp());
    EXPECT_EQ(InstanceGuard::userLockPath(lock.name, home.file("gone")), lock.inTmp());
}

// Another user can take the lock's name in /tmp; the lock must hold all the same.
TEST(InstanceGuard, ANameTakenInTmpDoesNotSwitchTheGuardOff) {
    UserLockName lock;
    if (InstanceGuard::userLockPath(lock.name).starts_with("/tmp/"))
        GTEST_SKIP() << "the user has no home of their own to hold the lock";
    test::TempDir dir;
    const std::string target = dir.write("target", "");
    ASSERT_EQ(::symlink(target.c_str(), lock.inTmp().c_str()), 0);
    InstanceGuard first(lock.name);
    ASSERT_TRUE(first.tryAcquire());
    InstanceGuard second(lock.name);
    EXPECT_FALSE(second.tryAcquire());
}

TEST(InstanceGuard, AnotherUsersCopyNeitherStopsNorIsStoppedByThisUsersOwn) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can start a copy as another user";
    UserLockName lock;
    ScopedVariable runtimeDir("XDG_RUNTIME_DIR", nullptr);
    ScopedVariable tmpDir("TMPDIR", nullptr);
    int held[2], done[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // The other user's copy takes its lock and keeps it until told.
        char got = 0;
        if (::setgid(UserLockName::kOtherUser) == 0 && ::setuid(UserLockName::kOtherUser) == 0) {
            InstanceGuard guard(lock.name);
            got = guard.tryAcquire() ? 1 : 0;
            [[maybe_unused]] auto written = ::write(held[1], &got, 1);
            [[maybe_unused]] auto read = ::read(done[0], &got, 1);
        } else {
            [[maybe_unused]] auto written = ::write(held[1], &got, 1);
        }
        ::_exit(0);
    }
    char otherRuns = 0;
    ASSERT_EQ(::read(held[0], &otherRuns, 1), 1);
    EXPECT_EQ(otherRuns, 1);
    {
        InstanceGuard mine(lock.name);
        EXPECT_TRUE(mine.tryAcquire());
    }
    ASSERT_EQ(::write(done[1], &otherRuns, 1), 1);
    ::waitpid(other, nullptr, 0);
    for (int fd : {held[0], held[1], done[0], done[1]})
        ::close(fd);
}

TEST(InstanceGuard, ALockFileNameTakenByALinkOrByAnotherUserIsNotUsed) {
    test::TempDir dir;
    const std::string target = dir.write("target", "keep");
    const std::string path = dir.file("k.lock");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    {
        InstanceGuard guard("k", dir.path());
        EXPECT_TRUE(guard.tryAcquire()); // the copy still runs
        EXPECT_TRUE(lockable(target));
    }
    std::ifstream kept(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
    ::unlink(path.c_str());

    if (::geteuid() != 0)
        return;
    UniqueFd planted(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    ASSERT_TRUE(planted);
    ASSERT_EQ(::fchown(planted.get(), UserLockName::kOtherUser, UserLockName::kOtherUser), 0);
    InstanceGuard guard("k", dir.path());
    EXPECT_TRUE(guard.tryAcquire());
    EXPECT_TRUE(lockable(path));
}
