#include "zip/base/ListingAhead.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace kd {

namespace {

// While others are listed ahead, threads are set to work once this many directories
// may be, so that a thread woken has several to list.
constexpr std::size_t kStartedTogether = 16;

} // namespace

ListingAhead::ListingAhead(int threads, std::size_t limit)
    : threads_(static_cast<std::size_t>(std::max(threads, 1))), limit_(limit), pool_(threads) {}

ListingAhead::~ListingAhead() {
    const std::lock_guard lock(mutex_);
    stopping_ = true; // the threads finish the listing in hand
}

std::size_t ListingAhead::Room() {
    const std::lock_guard lock(mutex_);
    return limit_ - std::min(limit_, slots_.size());
}

bool ListingAhead::DepthFirst::operator()(const std::string& a, const std::string& b) const {
    const auto differ = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (differ.second == b.end())
        return false; // b is a or its beginning
    if (differ.first == a.end())
        return true;
    if (*differ.first == '/' || *differ.second == '/')
        return *differ.first == '/';
    return static_cast<unsigned char>(*differ.first) < static_cast<unsigned char>(*differ.second);
}

void ListingAhead::discovered(const std::string& dir, const DirListing& listing) {
    for (const DirEntry& entry : listing.entries)
        if (entry.isDirectory && entry.kind != DirEntryKind::Unreadable) // else not entered
            waiting_.insert(dir + entry.name + "/");
}

std::size_t ListingAhead::moreThreads() {
    const std::size_t room = limit_ - std::min(limit_, slots_.size());
    if (!slots_.empty() && room < std::min(kStartedTogether, limit_))
        return 0;
    const std::size_t more = std::min({threads_ - working_, room, waiting_.size()});
    working_ += more;
    return more;
}

void ListingAhead::setToWork(std::size_t count) {
    if (count > 0)
        pool_.Submit(std::vector<std::function<void()>>(count, [this] { work(); }));
}

void ListingAhead::work() {
    std::unique_lock lock(mutex_);
    while (!stopping_ && slots_.size() < limit_ && !waiting_.empty()) {
        auto next = waiting_.extract(waiting_.begin());
        // Node-based: the name and the slot stay where they are while others come and go.
        const auto at = slots_.try_emplace(std::move(next.value())).first;
        const std::string& dir = at->first;
        Slot& slot = at->second;
        lock.unlock();
        DirListing listing = listDirectory(dir);
        lock.lock();
        discovered(dir, listing);
        slot.listing = std::move(listing);
        slot.done = true;
        done_.notify_all();
        const std::size_t more = moreThreads();
        if (more > 0) {
            lock.unlock();
            setToWork(more);
            lock.lock();
        }
    }
    --working_;
}

DirListing ListingAhead::Take(const std::string& dir, bool subdirectoriesAhead) {
    std::unique_lock lock(mutex_);
    DirListing listing;
    if (const auto found = slots_.find(dir); found != slots_.end()) {
        Slot& slot = found->second;
        done_.wait(lock, [&] { return slot.done; });
        listing = std::move(slot.listing); // its subdirectories are waiting already
        slots_.erase(dir);
    } else {
        waiting_.erase(dir); // listed here, not ahead
        lock.unlock();
        listing = listDirectory(dir);
        lock.lock();
        if (subdirectoriesAhead)
            discovered(dir, listing);
    }
    const std::size_t more = moreThreads();
    lock.unlock();
    setToWork(more);
    return listing;
}

} // namespace kd
