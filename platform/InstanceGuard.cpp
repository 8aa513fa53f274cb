#include "platform/InstanceGuard.h"

#include "platform/Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {
namespace {

int flockRetrying(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

// The lock file, made when missing. In a directory that others can write to, a name
// another user has taken (a link, a file of theirs) is not used: through it they
// could hold our lock or have us lock theirs.
UniqueFd openLockFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    return fd;
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

std::vector<std::string> InstanceGuard::userLockPaths(const std::string& lockName) {
    const uid_t uid = ::geteuid();
    const std::string id = std::to_string(uid);
    // Not the temporary directory of $TMPDIR: copies started from different places
    // would not agree on it.
    std::vector<std::string> paths{"/tmp/" + lockName + "-" + id + ".lock"};
    const std::string runtime = "/run/user/" + id;
    struct stat st {};
    if (::lstat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
        paths.push_back(runtime + "/" + lockName + ".lock");
    return paths;
}

InstanceGuard::InstanceGuard(const std::string& lockName, const std::string& directory) {
    const std::vector<std::string> paths = directory.empty()
                                               ? userLockPaths(lockName)
                                               : std::vector{directory + "/" + lockName + ".lock"};
    for (const std::string& path : paths)
        files_.push_back({path, UniqueFd(), false});
}

std::vector<std::string> InstanceGuard::lockPaths() const {
    std::vector<std::string> paths;
    for (const LockFile& file : files_)
        paths.push_back(file.path);
    return paths;
}

void InstanceGuard::openFiles() {
    for (LockFile& file : files_)
        if (!file.fd)
            file.fd = openLockFile(file.path);
}

// Every copy takes the files in the same order, and one that skips a file never waits
// for it, so two waiting copies never wait for each other.
bool InstanceGuard::tryAcquire() {
    if (held_)
        return true;
    openFiles();
    for (LockFile& file : files_) {
        if (!file.fd || file.locked)
            continue;
        if (flockRetrying(file.fd.get(), LOCK_EX | LOCK_NB) == 0) {
            file.locked = true;
        } else if (errno == EWOULDBLOCK) {
            unlockAll();
            return false;
        }
        // Any other failure: that file guards nothing, and this copy goes on.
    }
    held_ = true;
    return true;
}

void InstanceGuard::acquireWaiting() {
    if (held_)
        return;
    openFiles();
    for (LockFile& file : files_)
        if (file.fd && !file.locked)
            file.locked = flockRetrying(file.fd.get(), LOCK_EX) == 0;
    held_ = true;
}

void InstanceGuard::unlockAll() {
    for (LockFile& file : files_) {
        if (file.locked)
            ::flock(file.fd.get(), LOCK_UN);
        file.locked = false;
    }
}

void InstanceGuard::release() {
    unlockAll();
    for (LockFile& file : files_)
        file.fd.close();
    held_ = false;
}

} // namespace kd
