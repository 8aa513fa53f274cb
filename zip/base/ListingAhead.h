#pragma once
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/FileOps.h"
#include "zip/base/ThreadPool.h"

namespace kd {

// Lists the directories a search is about to enter on threads of its own, a few
// ahead of it, so that the search finds each listing made: examining every name of a
// directory is most of the work of a search through many small files. The listings
// are exactly those listDirectory makes, only earlier.
class ListingAhead {
public:
    // At most limit directories are asked for and not yet taken.
    ListingAhead(int threads, std::size_t limit);
    ListingAhead(const ListingAhead&) = delete;
    ListingAhead& operator=(const ListingAhead&) = delete;

    // Queues dir (a path ending in "/") to be listed; false when limit directories
    // already wait to be taken.
    bool Ask(const std::string& dir);
    // The listing of dir: the one made ahead (waiting for it when it is being made),
    // or one made now when it was not asked for or no thread has started it yet.
    DirListing Take(const std::string& dir);

private:
    struct Slot {
        bool started = false;
        bool done = false;
        bool dropped = false; // taken before a thread started it
        DirListing listing;
    };
    void list(const std::string& dir, const std::shared_ptr<Slot>& slot);

    std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::map<std::string, std::shared_ptr<Slot>> slots_;
    ThreadPool pool_; // last: its threads stop before what they use goes
};

} // namespace kd
