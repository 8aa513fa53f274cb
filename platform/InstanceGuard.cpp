#include "platform/InstanceGuard.h"

#include "platform/Exception.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>

namespace kd {

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

std::string InstanceGuard::defaultLockDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && std::filesystem::is_directory(runtime))
        return runtime;
    return std::filesystem::temp_directory_path().string();
}

InstanceGuard::InstanceGuard(const std::string& lockName, const std::string& directory)
    : path_(directory + "/" + lockName + ".lock") {}

bool InstanceGuard::tryAcquire() {
    if (held_)
        return true;
    if (!fd_)
        fd_ = UniqueFd(::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd_)
        return true; // no lock file possible: run as the first instance
    int rc;
    do {
        rc = ::flock(fd_.get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    held_ = rc == 0;
    return held_;
}

void InstanceGuard::acquireWaiting() {
    if (tryAcquire())
        return;
    int rc;
    do {
        rc = ::flock(fd_.get(), LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        throw Exception(std::string("Cannot wait for the running copy: ") + std::strerror(errno));
    held_ = true;
}

void InstanceGuard::release() {
    if (held_ && fd_)
        ::flock(fd_.get(), LOCK_UN);
    held_ = false;
    fd_.close();
}

} // namespace kd
