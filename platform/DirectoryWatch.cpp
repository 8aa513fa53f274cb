#include "platform/DirectoryWatch.h"

#include <sys/inotify.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <thread>

namespace kd {

namespace {

// An entry moved or deleted, and the directory itself moved or removed. Creating
// entries and changing their data or times, which a run does all the time, is not
// watched.
constexpr std::uint32_t kWatched =
    IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE | IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;

} // namespace

DirectoryWatch::~DirectoryWatch() {
    // Closing the queue waits until the kernel has retired its watches, which takes it
    // a grace period (milliseconds at the end of every run): a thread of its own waits.
    if (!queue_)
        return;
    try {
        std::thread([queue = std::move(queue_)]() mutable { queue.close(); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the queue, moved into the task, has closed with it here.
    }
}

int DirectoryWatch::Watch(int dirFd) {
    if (!queue_ && !unavailable_) {
        queue_ = UniqueFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        unavailable_ = !queue_;
    }
    if (!queue_)
        return kNoWatch;
    // The watch needs a path: the descriptor's own, which leads to the directory held.
    const std::string self = "/proc/self/fd/" + std::to_string(dirFd);
    const int watch = ::inotify_add_watch(queue_.get(), self.c_str(), kWatched);
    return watch >= 0 ? watch : kNoWatch;
}

void DirectoryWatch::Unwatch(int watch) {
    if (queue_ && watch != kNoWatch)
        ::inotify_rm_watch(queue_.get(), watch);
}

bool DirectoryWatch::Changed() {
    if (!queue_)
        return true;
    bool changed = false;
    alignas(inotify_event) char events[4096];
    for (;;) {
        const ssize_t got = ::read(queue_.get(), events, sizeof events);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return changed || (got < 0 && errno != EAGAIN);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            // A watch given up (by Unwatch, or after its directory went, which its
            // own event told) changes nothing.
            if ((event->mask & IN_IGNORED) == 0)
                changed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace kd
