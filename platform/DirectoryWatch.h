#pragma once
#include "platform/UniqueFd.h"

namespace kd {

// Tells whether an entry of any watched directory may have been moved or deleted, or a
// watched directory itself moved or removed, since the last look: one read of an
// inotify queue stands in for a look-up of every directory. Where inotify is missing
// or a watch cannot be had, Watch returns kNoWatch and the caller looks for itself.
class DirectoryWatch {
public:
    static constexpr int kNoWatch = -1;

    DirectoryWatch() = default;
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;
    ~DirectoryWatch();

    // Starts watching the open directory dirFd; kNoWatch when it cannot.
    int Watch(int dirFd);
    void Unwatch(int watch);
    // Whether something happened to a watched directory since the last call (or since
    // the first watch); everything queued is taken.
    bool Changed();

private:
    UniqueFd queue_;
    bool unavailable_ = false;
};

} // namespace kd
