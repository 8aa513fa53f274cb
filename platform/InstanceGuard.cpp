#include "platform/InstanceGuard.h"

#include "platform/Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kd {
namespace {

int flockRetrying(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

// The lock file, made when missing. A name another user has taken (a link, a file of
// theirs, in /tmp) is not used: through it they could hold our lock or have us lock
// theirs.
UniqueFd openLockFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    return fd;
}

// The home directory of the password database ($HOME is the environment's), empty
// when the user has none there.
std::string homeOfUser() {
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 4096);
    passwd entry{};
    passwd* found = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) ==
               ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    return rc == 0 && found && found->pw_dir ? std::string(found->pw_dir) : std::string();
}

// True for a directory of this user that no one else may write to.
bool ownedAlone(const std::string& dir) {
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string InstanceGuard::lockNameFor(const std::string& executablePath) {
    std::string name = fileNameOf(executablePath);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c == '\\')
            c = '_';
    }
    return name;
}

std::string InstanceGuard::userLockPath(const std::string& lockName) {
    return userLockPath(lockName, homeOfUser());
}

std::string InstanceGuard::userLockPath(const std::string& lockName, const std::string& home) {
    if (home.starts_with('/')) {
        const std::string cache = (home == "/" ? "" : home) + "/.cache";
        ::mkdir(cache.c_str(), 0700); // an existing one is checked as it is
        if (ownedAlone(cache))
            return cache + "/" + lockName + ".lock";
    }
    // Every copy reaches /tmp; $TMPDIR would differ between copies started from
    // different places.
    return "/tmp/" + lockName + "-" + std::to_string(::geteuid()) + ".lock";
}

InstanceGuard::InstanceGuard(const std::string& lockName, const std::string& directory)
    : path_(directory.empty() ? userLockPath(lockName) : directory + "/" + lockName + ".lock") {}

bool InstanceGuard::tryAcquire() {
    if (held_)
        return true;
    if (!fd_)
        fd_ = openLockFile(path_);
    if (fd_ && flockRetrying(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            fd_.close();
            return false;
        }
        // Any other failure: the file guards nothing, and this copy goes on.
        fd_.close();
    }
    held_ = true;
    return true;
}

void InstanceGuard::acquireWaiting() {
    if (held_)
        return;
    if (!fd_)
        fd_ = openLockFile(path_);
    if (fd_ && flockRetrying(fd_.get(), LOCK_EX) != 0)
        fd_.close();
    held_ = true;
}

void InstanceGuard::release() {
    // Unlocked before the close: a child forked meanwhile shares the open file until it
    // runs its program.
    if (fd_)
        ::flock(fd_.get(), LOCK_UN);
    fd_.close();
    held_ = false;
}

} // namespace kd
