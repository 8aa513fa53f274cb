#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "zip/deflate/Deflater.h"
#include "zip/writer/CompressedFile.h"

namespace kd {

// Makes the entry data of the files a run is about to write on worker threads, in
// the order the run will ask for them, while the run's own thread writes the
// finished ones. Nothing here touches the archive, the events or the cipher: a
// worker only reads its file and compresses it into memory (CompressFile), and the
// writing thread takes the results in turn.
//
// The files enter the window in plan order as long as the memory the files in it and
// not yet taken hold stays within memoryBound (a file's size until its data is made,
// then the size of that data); a file larger than the bound is never started (the
// writing thread compresses it in its turn, while the workers go on with the files
// after it). Workers take the large files of the window first, the largest first, so
// that one late in the plan does not end the run alone; then the others in plan
// order, from some way ahead of the writing thread, so that they are ready at their
// turn. The writing thread makes a file's data itself, as a worker would, when its
// turn comes before a worker took it; the gap keeps it from waiting for a small file
// a worker has just begun. It counts as one of the threads: threads - 1 workers run
// beside it.
//
// Destroying the object (the end of a run, or an exception such as a cancel) stops
// every worker at its next read and waits for them.
class EntryPrefetch {
public:
    // The files' archive attributes are looked at in attributes, on the workers.
    EntryPrefetch(std::vector<CompressJob> plan, int threads, std::uint64_t memoryBound,
                  ArchiveAttribute& attributes);
    ~EntryPrefetch();
    EntryPrefetch(const EntryPrefetch&) = delete;
    EntryPrefetch& operator=(const EntryPrefetch&) = delete;

    // The data of the file at path, made ahead from the whole file as it stood
    // unchanged while it was read (its Status and Stamp say how it stood); waits for
    // it when it is still being made (a large file no worker took yet is started on a
    // thread of its own), calling whileWaiting now and then, which may throw to end
    // the run. Files of the plan before it are dropped: the run passed them (left out
    // or skipped). Nothing when the file is not among those started, no worker has
    // taken a small one yet, or it could not be read whole and unchanged; the writing
    // thread then reads the file itself.
    std::unique_ptr<CompressedFile> Take(const std::string& path,
                                         const std::function<void()>& whileWaiting);
    // Data taken and written: the workers free it, in batches. Its memory comes from
    // their pools, and freeing it on the writing thread, which waits for nothing else
    // with many small files, cost that thread a sixth of its time.
    void Release(std::unique_ptr<CompressedFile> written);

private:
    struct Task;
    void startMore();
    // Under the lock: forgets a task the run passed or took.
    void drop(Task& task);
    // Waits for a task that was not done when its turn came; nothing when the
    // writing thread is to make its data itself.
    std::unique_ptr<CompressedFile> waitFor(const std::shared_ptr<Task>& task,
                                            const std::function<void()>& whileWaiting);
    void work();
    void make(Task& task, Deflater& compressor);

    std::vector<CompressJob> plan_;
    ArchiveAttribute& attributes_;

    // The writing thread's own.
    std::size_t next_ = 0; // the first file of the plan not yet looked at
    std::uint64_t bound_;
    std::uint64_t inFlight_ = 0;               // bytes the tasks started and not taken hold
    bool fullByBytes_ = false;                 // the last top-up stopped at the memory bound
    std::deque<std::shared_ptr<Task>> window_; // started tasks in plan order
    std::vector<std::unique_ptr<CompressedFile>> released_; // not yet handed to the workers
    std::vector<std::thread> extra_; // threads of large files started at their turn

    // Shared with the workers.
    std::mutex mutex_;
    std::condition_variable wake_; // a task queued, or stop
    std::condition_variable done_; // a task finished
    // Tasks no worker has taken yet: the large files, the largest first, then the
    // others in plan order.
    using QueueKey = std::pair<std::uint64_t, std::size_t>; // size, place in the plan
    static constexpr std::uint64_t kLargeFile = std::uint64_t{1} << 20;
    struct LargeFirst {
        bool operator()(const QueueKey& a, const QueueKey& b) const {
            const bool largeA = a.first >= kLargeFile;
            const bool largeB = b.first >= kLargeFile;
            if (largeA != largeB)
                return largeA;
            return largeA && a.first != b.first ? a.first > b.first : a.second < b.second;
        }
    };
    using Queue = std::map<QueueKey, std::shared_ptr<Task>, LargeFirst>;
    Queue queue_;
    // The place in the plan of the file after the last the writing thread took, and
    // how far ahead of it the workers take small files.
    std::atomic<std::size_t> writerAt_{0};
    const std::size_t gap_;
    // Under the lock, with the queue not empty: the task a worker takes next.
    Queue::iterator next();
    std::vector<std::unique_ptr<CompressedFile>> toFree_; // for the next worker to free
    std::atomic<bool> stop_{false};
    // Bytes of the memory in flight that done tasks gave back, not yet counted off.
    std::atomic<std::uint64_t> returned_{0};
    std::vector<std::thread> workers_;
};

} // namespace kd
