#pragma once
#include "platform/UniqueFd.h"

#include <string>

namespace kd {

// One running copy per executable name: an exclusive flock on a lock file named
// after the executable. The lock file is opened close-on-exec, so no child process
// (mail program, mount helper) keeps holding it after we end.
class InstanceGuard {
public:
    // Lock name of an executable: its file name with only A-Z lower-cased and "\"
    // replaced by "_", so copies under one file name share the lock.
    static std::string lockNameFor(const std::string& executablePath);
    // $XDG_RUNTIME_DIR when set, else the temporary directory.
    static std::string defaultLockDirectory();

    explicit InstanceGuard(const std::string& lockName,
                           const std::string& directory = defaultLockDirectory());

    // True when this process now holds the lock; false when another copy holds it.
    bool tryAcquire();
    // Blocks until the other copy ends or releases the lock.
    void acquireWaiting();
    void release();
    bool held() const { return held_; }
    const std::string& lockPath() const { return path_; }

private:
    std::string path_;
    UniqueFd fd_;
    bool held_ = false;
};

} // namespace kd
