#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/FileOps.h"
#include "zip/base/ThreadPool.h"

namespace kd {

// Lists the directories a search through a tree is about to enter on threads of its
// own, ahead of it, so that the search finds each listing made: examining every name
// of a directory is most of the work of a search through many small files. The
// listings are exactly those listDirectory makes, only earlier.
//
// The subdirectories found in a listing taken with its subdirectories ahead, and in
// every listing made ahead, are listed ahead in turn, as far as there is room: a
// search takes each of them, unless it ends early. A thread that starts on one takes
// the one the search enters first (depth first, in name order), so that the threads
// stay just ahead of the search.
class ListingAhead {
public:
    // At most limit directories are listed ahead and not yet taken.
    ListingAhead(int threads, std::size_t limit);
    ~ListingAhead();
    ListingAhead(const ListingAhead&) = delete;
    ListingAhead& operator=(const ListingAhead&) = delete;

    // The listing of dir (a path ending in "/"): the one made ahead (waiting for it
    // when it is being made), or one made now when none was started. With
    // subdirectoriesAhead its subdirectories are listed ahead.
    DirListing Take(const std::string& dir, bool subdirectoriesAhead);
    // How many more directories may be listed ahead before some are taken.
    std::size_t Room();

private:
    struct Slot {
        bool done = false;
        DirListing listing;
    };
    // The order in which a depth-first search in name order enters directories: that
    // of the paths with "/" taken as coming before any other character.
    struct DepthFirst {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    // A thread's work: lists the directories waiting, first things first, while
    // there is room.
    void work();
    // Under the lock: queues the subdirectories of listing (of dir) to be listed ahead.
    void discovered(const std::string& dir, const DirListing& listing);
    // Under the lock: how many more threads to set to work, counted as working.
    std::size_t moreThreads();
    void setToWork(std::size_t count);

    const std::size_t threads_;
    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable done_;
    // The directories being listed ahead, or listed, and not yet taken.
    std::unordered_map<std::string, Slot> slots_;
    // The directories found and not yet started.
    std::set<std::string, DepthFirst> waiting_;
    std::size_t working_ = 0; // threads in work()
    bool stopping_ = false;
    ThreadPool pool_; // last: its threads stop before what they use goes
};

} // namespace kd
