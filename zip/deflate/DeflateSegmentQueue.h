#pragma once
#include "zip/deflate/DeflateSegment.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kd {

// Parses the segments of in-memory data (every segmentSize bytes one starts) on helper
// threads, a few ahead of the thread that takes them in order. The helpers come from
// one budget for the whole process, so that several files compressed at once do not
// start a crowd of threads, and only the queues of the lowest rank hold them; with none
// to spare, the taking thread parses itself, and takes up helpers as other files give
// them back.
class DeflateSegmentQueue {
public:
    DeflateSegmentQueue(int level, const std::uint8_t* data, std::uint64_t size, int threads,
                        std::uint64_t segmentSize, std::uint64_t rank,
                        const std::atomic<bool>& cancel);
    // Stops the helpers (at their next window move) and waits for them.
    ~DeflateSegmentQueue();
    DeflateSegmentQueue(const DeflateSegmentQueue&) = delete;
    DeflateSegmentQueue& operator=(const DeflateSegmentQueue&) = delete;

    std::size_t count() const { return slots_.size(); }
    std::uint64_t startOf(std::size_t index) const { return index * segmentSize_; }

    // The parse of segment index (from its start to the first starting state at or past
    // the next segment's start); the segments before it are released.
    const DeflateSegment& take(std::size_t index);

private:
    struct Slot {
        enum class State { Waiting, Parsing, Done } Status = State::Waiting;
        std::unique_ptr<DeflateSegment> Parse;
    };

    DeflateSegment parse(std::size_t index, DeflateSegment reuse) const;
    bool claim(std::size_t& index); // under the lock
    // Parses a claimed segment with the lock let go meanwhile, and hands it over.
    void parseClaimed(std::unique_lock<std::mutex>& lock, std::size_t index);
    void help();
    // Starts as many more helpers as the budget has to spare, up to wanted_ (under
    // the lock).
    void drawMoreHelpers();

    const int level_;
    const std::uint8_t* const data_;
    const std::uint64_t size_;
    const std::uint64_t rank_;
    const std::uint64_t segmentSize_;
    const std::atomic<bool>& cancel_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    std::vector<std::unique_ptr<DeflateSegment>> spare_; // passed: their memory is reused
    std::size_t next_ = 0;  // the first segment nobody parses yet
    std::size_t taken_ = 0; // segments before this one are released
    bool stop_ = false;
    std::atomic<bool> stopParses_{false};
    int wanted_ = 0; // helpers the data has work for
    int budget_ = 0; // helpers drawn from the process's budget
    std::vector<std::thread> helpers_;
};

} // namespace kd
