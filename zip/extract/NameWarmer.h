#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/UniqueFd.h"

namespace kd {

// Looks names up in a directory ahead of the calling thread, on a thread of its own:
// the first look of a name a directory does not hold searches it, and the calling
// thread's own looks at those names then find the answer cached. Nothing is decided
// by these looks; when no thread can be had, nothing is looked up.
class NameWarmer {
public:
    // look(dirFd, name, directory) looks name up in the open directory dirFd, known to
    // the caller as directory.
    using Look = std::function<void(int dirFd, const std::string& name, std::size_t directory)>;

    explicit NameWarmer(Look look) : look_(std::move(look)) {}
    // Stops at once: names not looked up yet are dropped.
    ~NameWarmer() = default;
    NameWarmer(const NameWarmer&) = delete;
    NameWarmer& operator=(const NameWarmer&) = delete;

    // Looks the names up in dir (held open until done), soon.
    void Add(std::shared_ptr<const UniqueFd> dir, std::size_t directory,
             std::vector<std::string> names);

private:
    struct Batch {
        std::shared_ptr<const UniqueFd> dir;
        std::size_t directory;
        std::vector<std::string> names;
    };
    void work(const std::stop_token& stop);

    Look look_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<Batch> batches_;
    bool unavailable_ = false;
    std::jthread thread_; // last: stopped and joined first
};

} // namespace kd
