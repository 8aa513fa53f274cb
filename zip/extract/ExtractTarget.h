#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/DirectoryWatch.h"
#include "platform/Exception.h"
#include "platform/UniqueFd.h"
#include "zip/extract/ExtractPath.h"

namespace kd {

// A directory on the way to a target is a symbolic link (or something else that is
// not a directory where one is needed): writing there could leave the destination.
class EUnsafePath : public Exception {
public:
    using Exception::Exception;
};

// A target directory or file that cannot be made (no permission, a file in the way).
class ECreateTargetFailed : public Exception {
public:
    using Exception::Exception;
};

// The directories walked for the last target below the destination, held open, so
// that the next target in the same directory (or below it) opens only what differs.
// Each directory is entered as ExtractTarget::Below enters it (created when missing,
// never through a symbolic link); one kept is used again only while its name in its
// parent still leads to it, so a directory moved away or swapped for a link since is
// walked anew.
class DirectoryChain {
public:
    // watched: the chain serves many targets, and a queue of changes to the
    // directories it holds tells when they must be looked at again; otherwise they
    // are looked at on every walk.
    explicit DirectoryChain(bool watched = false);

    // The open directory of dirs below baseDir (named baseName in messages); throws as
    // ExtractTarget::Below.
    std::shared_ptr<const UniqueFd> Walk(int baseDir, const std::string& baseName,
                                         const std::vector<std::string>& dirs);
    // Whether the chain made the directory (device, inode) itself. Safe from any
    // thread while the chain walks on its own.
    bool Made(dev_t device, ino_t inode) const;
    // How many directories the chain has made.
    std::size_t MadeCount() const;
    // Gives up the queue of changes; from here on every walk looks at the levels it
    // keeps. The queue takes a while to close, which goes on meanwhile.
    void StopWatching();

private:
    std::shared_ptr<const UniqueFd> base_;
    struct Level {
        std::string name;
        std::shared_ptr<const UniqueFd> dir;
        dev_t device;
        ino_t inode;
        int watch;
    };
    // The prefix of dirs that open_ holds and that is still in place.
    std::size_t keptPrefix(const std::vector<std::string>& dirs);
    // Whether nothing watched may have changed since the last walk, for the first
    // levels of open_.
    bool unchanged(std::size_t levels);
    int watch(int dirFd);

    std::vector<Level> open_; // open_[i] is the directory dirs[0..i]
    std::unique_ptr<DirectoryWatch> changes_;
    int baseWatch_ = DirectoryWatch::kNoWatch;
    mutable std::mutex madeMutex_;
    std::set<std::pair<dev_t, ino_t>> made_;
};

// The place of one extracted file: its directory, held open, and its name there. All
// later work (the existing file's state, the temporary file, the final rename) goes
// through the open directory, so a directory swapped for a link meanwhile cannot
// redirect it.
class ExtractTarget {
public:
    // What is at the target now (a symbolic link is looked at, never followed).
    struct Existing {
        bool isDirectory = false;
        bool writable = true;           // the owner may write (not read-only)
        std::time_t modified = 0;       // last write
        std::optional<mode_t> fileMode; // permission bits of a regular file
    };

    // Walks from the open directory baseDir (named baseName in messages and in Path())
    // into path's directories, creating the missing ones, without following symbolic
    // links (EUnsafePath). ECreateTargetFailed when a directory cannot be made or
    // opened. With an empty name only the directories are made.
    static ExtractTarget Below(int baseDir, const std::string& baseName, const ExtractPath& path);
    // The same, starting from the directories that chain holds open.
    static ExtractTarget Below(DirectoryChain& chain, int baseDir, const std::string& baseName,
                               const ExtractPath& path);
    // A path the program chose itself (an event handler): its directory is created
    // with its parents and used as it is.
    static ExtractTarget At(const std::string& path);

    const std::string& Path() const { return shown_; }
    int DirFd() const { return dir_->get(); }
    // The open directory, shared with the chain it may come from.
    const std::shared_ptr<const UniqueFd>& Dir() const { return dir_; }
    const std::string& Name() const { return name_; }
    std::optional<Existing> Look() const;
    // What is at name in the directory open as dirFd.
    static std::optional<Existing> LookAt(int dirFd, const std::string& name);

private:
    ExtractTarget(std::shared_ptr<const UniqueFd> dir, std::string name, std::string shown)
        : dir_(std::move(dir)), name_(std::move(name)), shown_(std::move(shown)) {}

    std::shared_ptr<const UniqueFd> dir_;
    std::string name_;
    std::string shown_;
};

// Opens a directory (following links: the caller trusts the path) for use as the
// base of ExtractTarget::Below; kd::Exception when it cannot.
UniqueFd OpenExtractBase(const std::string& dir);

} // namespace kd
