#pragma once
#include "platform/UniqueFd.h"

#include <string>

namespace kd {

// One running copy per user and executable name: an exclusive flock on the user's lock
// file named after the executable. The file is opened close-on-exec, so no child
// process (mail program, mount helper) keeps holding it after we end.
class InstanceGuard {
public:
    // Lock name of an executable: its file name with only A-Z lower-cased and "\"
    // replaced by "_", so copies under one file name share the lock.
    static std::string lockNameFor(const std::string& executablePath);
    // The user's lock file of a name, the same whatever the environment holds (a copy
    // from cron or ssh has no XDG_RUNTIME_DIR, maybe another TMPDIR or HOME):
    // "<home>/.cache/<name>.lock" with the home from the password database, the folder
    // made (0700) when missing. No other user can take that name first, so the folder
    // must be the user's and writable by no one else; when it is not, or the user has
    // no home, "/tmp/<name>-<uid>.lock".
    static std::string userLockPath(const std::string& lockName);
    // The same for the given home directory (empty: none).
    static std::string userLockPath(const std::string& lockName, const std::string& home);

    // Locks the user's lock file of the name; with a directory,
    // "<directory>/<name>.lock" (for a place of one's own, as tests need).
    explicit InstanceGuard(const std::string& lockName, const std::string& directory = {});

    // True when this process may run: it holds the lock, or the lock file could not be
    // used for another reason than another copy holding it. False when another copy
    // holds it; nothing is held then.
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
