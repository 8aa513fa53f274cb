#pragma once
#include "platform/UniqueFd.h"

#include <string>
#include <vector>

namespace kd {

// One running copy per user and executable name: an exclusive flock on the user's lock
// files named after the executable. The files are opened close-on-exec, so no child
// process (mail program, mount helper) keeps holding them after we end.
class InstanceGuard {
public:
    // Lock name of an executable: its file name with only A-Z lower-cased and "\"
    // replaced by "_", so copies under one file name share the lock.
    static std::string lockNameFor(const std::string& executablePath);
    // The user's lock files of a name, the same whatever the environment holds (a copy
    // from cron or ssh has no XDG_RUNTIME_DIR and maybe another TMPDIR): one named
    // with the user id in /tmp, which every copy can reach, and one in /run/user/<uid>
    // while the user has that directory, which no other user can touch.
    static std::vector<std::string> userLockPaths(const std::string& lockName);

    // Locks the user's lock files of the name; with a directory, "<directory>/<name>.lock"
    // alone (for a place of one's own, as tests need).
    explicit InstanceGuard(const std::string& lockName, const std::string& directory = {});

    // True when this process may run: it holds the lock, or a lock file could not be
    // used for another reason than another copy holding it. False when another copy
    // holds it; nothing is held then.
    bool tryAcquire();
    // Blocks until the other copy ends or releases the lock.
    void acquireWaiting();
    void release();
    bool held() const { return held_; }
    std::vector<std::string> lockPaths() const;

private:
    struct LockFile {
        std::string path;
        UniqueFd fd;
        bool locked = false;
    };
    // Opens the lock files not yet open; one that cannot be used is left closed.
    void openFiles();
    void unlockAll();

    std::vector<LockFile> files_;
    bool held_ = false;
};

} // namespace kd
