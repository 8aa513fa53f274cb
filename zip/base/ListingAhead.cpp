#include "zip/base/ListingAhead.h"

namespace kd {

ListingAhead::ListingAhead(int threads, std::size_t limit) : limit_(limit), pool_(threads) {}

bool ListingAhead::Ask(const std::string& dir) {
    std::shared_ptr<Slot> slot;
    {
        const std::lock_guard lock(mutex_);
        if (slots_.count(dir))
            return true;
        if (slots_.size() >= limit_)
            return false;
        slot = slots_.emplace(dir, std::make_shared<Slot>()).first->second;
    }
    pool_.Submit([this, dir, slot] { list(dir, slot); });
    return true;
}

void ListingAhead::list(const std::string& dir, const std::shared_ptr<Slot>& slot) {
    {
        const std::lock_guard lock(mutex_);
        if (slot->dropped)
            return;
        slot->started = true;
    }
    DirListing listing = listDirectory(dir);
    {
        const std::lock_guard lock(mutex_);
        slot->listing = std::move(listing);
        slot->done = true;
    }
    done_.notify_all();
}

DirListing ListingAhead::Take(const std::string& dir) {
    std::unique_lock lock(mutex_);
    const auto found = slots_.find(dir);
    if (found == slots_.end()) {
        lock.unlock();
        return listDirectory(dir);
    }
    const std::shared_ptr<Slot> slot = found->second;
    slots_.erase(found);
    if (!slot->started) {
        slot->dropped = true;
        lock.unlock();
        return listDirectory(dir);
    }
    done_.wait(lock, [&] { return slot->done; });
    return std::move(slot->listing);
}

} // namespace kd
