#include "zip/base/ListingAhead.h"

#include <algorithm>
#include <functional>

namespace kd {

namespace {

// Directories are started this many at a time while others are listed ahead, so that
// the threads are woken once for several of them.
constexpr std::size_t kStartedTogether = 8;

} // namespace

ListingAhead::ListingAhead(int threads, std::size_t limit) : limit_(limit), pool_(threads) {}

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

std::vector<std::function<void()>> ListingAhead::startWaiting() {
    std::vector<std::function<void()>> tasks;
    if (!slots_.empty() && limit_ - slots_.size() < std::min(kStartedTogether, limit_))
        return tasks;
    while (slots_.size() < limit_ && !waiting_.empty()) {
        std::string dir = std::move(waiting_.extract(waiting_.begin()).value());
        auto slot = std::make_shared<Slot>();
        slots_.emplace(dir, slot);
        tasks.emplace_back([this, dir = std::move(dir), slot] { list(dir, slot); });
    }
    return tasks;
}

void ListingAhead::list(const std::string& dir, const std::shared_ptr<Slot>& slot) {
    {
        const std::lock_guard lock(mutex_);
        if (slot->dropped)
            return;
        slot->started = true;
    }
    DirListing listing = listDirectory(dir);
    std::vector<std::function<void()>> next;
    {
        const std::lock_guard lock(mutex_);
        discovered(dir, listing);
        next = startWaiting();
        slot->listing = std::move(listing);
        slot->done = true;
    }
    done_.notify_all();
    pool_.Submit(std::move(next));
}

DirListing ListingAhead::Take(const std::string& dir, bool subdirectoriesAhead) {
    std::unique_lock lock(mutex_);
    const auto found = slots_.find(dir);
    std::shared_ptr<Slot> slot;
    if (found != slots_.end()) {
        slot = found->second;
        slots_.erase(found);
    } else {
        waiting_.erase(dir); // listed here, not ahead
    }
    DirListing listing;
    if (slot && slot->started) {
        done_.wait(lock, [&] { return slot->done; });
        listing = std::move(slot->listing); // its subdirectories are waiting already
    } else {
        if (slot)
            slot->dropped = true;
        lock.unlock();
        listing = listDirectory(dir);
        lock.lock();
        if (subdirectoriesAhead)
            discovered(dir, listing);
    }
    std::vector<std::function<void()>> next = startWaiting();
    lock.unlock();
    pool_.Submit(std::move(next));
    return listing;
}

} // namespace kd
