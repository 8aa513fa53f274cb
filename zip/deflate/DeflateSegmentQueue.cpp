#include "zip/deflate/DeflateSegmentQueue.h"

#include <algorithm>
#include <set>

namespace kd {

namespace {

// The ranks of the queues that want helpers. Only the first-ranked draw and keep
// them: the data the writing thread needs soonest is made first, rather than every
// large file at a crawl while the run waits for one.
std::mutex ranksMutex;
std::multiset<std::uint64_t> ranks;

bool rankedFirst(std::uint64_t rank) {
    const std::lock_guard lock(ranksMutex);
    return ranks.empty() || rank <= *ranks.begin();
}

// Helper threads of all segment queues together: one per core.
std::atomic<int> helpersFree{static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))};

int drawHelpers(int wanted) {
    int free = helpersFree.load();
    for (;;) {
        const int got = std::clamp(wanted, 0, std::max(free, 0));
        if (got == 0 || helpersFree.compare_exchange_weak(free, free - got))
            return got;
    }
}

} // namespace

DeflateSegmentQueue::DeflateSegmentQueue(int level, const std::uint8_t* data, std::uint64_t size,
                                         int threads, std::uint64_t segmentSize,
                                         std::uint64_t rank, const std::atomic<bool>& cancel)
    : level_(level), data_(data), size_(size), rank_(rank),
      segmentSize_(std::max<std::uint64_t>(segmentSize, 1)), cancel_(cancel),
      slots_(static_cast<std::size_t>(
          std::max<std::uint64_t>(1, (size + segmentSize_ - 1) / segmentSize_))) {
    wanted_ = static_cast<int>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max(threads - 1, 0)), slots_.size() - 1));
    if (wanted_ > 0) {
        const std::lock_guard lock(ranksMutex);
        ranks.insert(rank_);
    }
    const std::lock_guard lock(mutex_);
    drawMoreHelpers();
}

void DeflateSegmentQueue::drawMoreHelpers() {
    if (!rankedFirst(rank_))
        return;
    const int more = drawHelpers(wanted_ - budget_);
    budget_ += more;
    try {
        for (int i = 0; i < more; ++i)
            helpers_.emplace_back([this] { help(); });
    } catch (...) {
        // Fewer helpers still do the work; the taking thread parses what is left.
    }
}

DeflateSegmentQueue::~DeflateSegmentQueue() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    stopParses_ = true;
    changed_.notify_all();
    for (std::thread& helper : helpers_)
        helper.join();
    helpersFree += budget_;
    if (wanted_ > 0) {
        const std::lock_guard lock(ranksMutex);
        ranks.erase(ranks.find(rank_));
    }
}

DeflateSegment DeflateSegmentQueue::parse(std::size_t index, DeflateSegment reuse) const {
    const std::uint64_t next = startOf(index + 1);
    // A parse still running when the queue goes away is of no use either.
    return parseDeflateSegment(
        level_, data_, size_, startOf(index), [next](std::uint64_t at) { return at >= next; },
        [this] { return cancel_.load(std::memory_order_relaxed) || stopParses_.load(); },
        std::move(reuse));
}

bool DeflateSegmentQueue::claim(std::size_t& index) {
    // One segment past the last taken for the taking thread and each helper: the
    // parses held stay few.
    if (next_ >= slots_.size() || next_ >= taken_ + static_cast<std::size_t>(budget_) + 1)
        return false;
    index = next_++;
    slots_[index].Status = Slot::State::Parsing;
    return true;
}

void DeflateSegmentQueue::help() {
    std::unique_lock lock(mutex_);
    for (;;) {
        std::size_t index = 0;
        changed_.wait(lock, [&] { return stop_ || cancel_ || claim(index); });
        if (stop_ || cancel_)
            return;
        parseClaimed(lock, index);
        // A queue ranked before this one came: its data is wanted sooner, and the
        // helper goes back to the budget for it.
        if (!rankedFirst(rank_)) {
            --budget_;
            helpersFree += 1;
            return;
        }
    }
}

void DeflateSegmentQueue::parseClaimed(std::unique_lock<std::mutex>& lock, std::size_t index) {
    std::unique_ptr<DeflateSegment> parsed;
    if (spare_.empty()) {
        parsed = std::make_unique<DeflateSegment>();
    } else {
        parsed = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    *parsed = parse(index, std::move(*parsed));
    lock.lock();
    slots_[index].Parse = std::move(parsed);
    slots_[index].Status = Slot::State::Done;
    changed_.notify_all();
}

const DeflateSegment& DeflateSegmentQueue::take(std::size_t index) {
    std::unique_lock lock(mutex_);
    // Helpers that other files gave back since are taken up: a file started while
    // others held them is not left to one thread.
    if (budget_ < wanted_)
        drawMoreHelpers();
    // Segments passed keep their memory for the parses still to come.
    for (std::size_t i = taken_; i < index; ++i)
        if (slots_[i].Parse)
            spare_.push_back(std::move(slots_[i].Parse));
    taken_ = std::max(taken_, index);
    changed_.notify_all(); // room ahead for the helpers
    Slot& slot = slots_[index];
    if (slot.Status == Slot::State::Waiting) {
        // Nobody has it yet: parse it here rather than wait.
        std::size_t claimed = 0;
        while (slot.Status == Slot::State::Waiting && claim(claimed))
            parseClaimed(lock, claimed);
    }
    changed_.wait(lock, [&] { return slot.Status == Slot::State::Done; });
    return *slot.Parse;
}

} // namespace kd
