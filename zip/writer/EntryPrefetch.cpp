#include "zip/writer/EntryPrefetch.h"

#include <algorithm>
#include <chrono>

#include "zip/deflate/Deflater.h"
#include "zip/writer/FileCompressor.h"

namespace kd {

namespace {

// At most this many files are in the window ahead of the writing thread, however
// small they are: the plan of a large run is not turned into tasks all at once. Half
// of it is still several thousand files, so that while the writing thread waits for
// a large file the workers go on with the small ones after it.
constexpr std::size_t kMaxAhead = 16384;
// How often the writing thread, waiting for a file's data, lets the window answer.
constexpr std::chrono::milliseconds kWaitSlice{20};
// Small files the workers leave to the writing thread ahead of it, per worker.
constexpr std::size_t kGapPerWorker = 16;
// Data written, handed to the workers to free this many at a time.
constexpr std::size_t kReleaseBatch = 64;

} // namespace

struct EntryPrefetch::Task {
    const CompressJob* Job = nullptr;
    std::size_t Index = 0; // place in the plan
    enum class State { Queued, Running, Done };
    // Changed under the lock; Done is set after Result, so that the writing thread
    // may take a finished task's result without the lock.
    std::atomic<State> Status = State::Queued;
    bool Dropped = false; // passed or taken: a result that comes later is not kept
    // Bytes counted for it in the memory in flight: its input size until it is done,
    // then what its result holds.
    std::uint64_t Held = 0;
    std::unique_ptr<CompressedFile> Result;
};

EntryPrefetch::EntryPrefetch(std::vector<CompressJob> plan, int threads, std::uint64_t memoryBound,
                             ArchiveAttribute& attributes)
    : plan_(std::move(plan)), attributes_(attributes), bound_(memoryBound),
      gap_(kGapPerWorker * static_cast<std::size_t>(std::max(threads - 1, 1))) {
    startMore();
    try {
        for (int i = 1; i < std::max(threads, 2); ++i)
            workers_.emplace_back([this] { work(); });
    } catch (...) {
        // Fewer workers than asked still do the work; none at all leaves it to the
        // writing thread.
        if (workers_.empty())
            stop_ = true;
    }
}

EntryPrefetch::~EntryPrefetch() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
    for (std::thread& thread : extra_)
        thread.join();
}

void EntryPrefetch::startMore() {
    inFlight_ -= returned_.exchange(0);
    // A window full by count is topped up only when half of it is taken, so that the
    // workers are woken once for many small files rather than once a file.
    if (!fullByBytes_ && !window_.empty() && window_.size() > kMaxAhead / 2)
        return;
    std::vector<std::shared_ptr<Task>> started;
    fullByBytes_ = false;
    while (next_ < plan_.size() && window_.size() < kMaxAhead) {
        const CompressJob& job = plan_[next_];
        if (job.Size > bound_) {
            ++next_; // the writing thread's own, in its turn
            continue;
        }
        if (inFlight_ + job.Size > bound_) {
            fullByBytes_ = true;
            break;
        }
        auto task = std::make_shared<Task>();
        task->Job = &job;
        task->Index = next_;
        task->Held = job.Size;
        inFlight_ += job.Size;
        window_.push_back(task);
        started.push_back(std::move(task));
        ++next_;
    }
    if (started.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        for (std::shared_ptr<Task>& task : started)
            queue_.emplace(QueueKey{task->Job->Size, task->Index}, std::move(task));
    }
    if (started.size() == 1)
        wake_.notify_one();
    else
        wake_.notify_all();
}

void EntryPrefetch::drop(Task& task) {
    if (task.Status == Task::State::Queued)
        queue_.erase(QueueKey{task.Job->Size, task.Index});
    // A running task ends with its result unused; its bytes are counted free now, so
    // the memory in flight may pass the bound by what the workers hold at that moment.
    inFlight_ -= task.Held;
    task.Dropped = true;
    task.Result.reset();
}

std::unique_ptr<CompressedFile> EntryPrefetch::Take(const std::string& path,
                                                    const std::function<void()>& whileWaiting) {
    // The window and the counts are the writing thread's own; the lock guards what
    // the workers share: the queue and the tasks' results.
    if (workers_.empty())
        return nullptr;
    const auto found = std::find_if(window_.begin(), window_.end(),
                                    [&](const auto& task) { return task->Job->Path == path; });
    if (found == window_.end())
        return nullptr;
    const std::shared_ptr<Task> task = *found;
    if (found != window_.begin()) {
        const std::lock_guard lock(mutex_);
        std::for_each(window_.begin(), found, [&](const auto& passed) { drop(*passed); });
    }
    window_.erase(window_.begin(), found + 1);
    writerAt_.store(task->Index + 1, std::memory_order_relaxed);
    std::unique_ptr<CompressedFile> result;
    if (task->Status.load(std::memory_order_acquire) == Task::State::Done) {
        result = std::move(task->Result); // its worker is done with it
        inFlight_ -= task->Held;
    } else {
        result = waitFor(task, whileWaiting);
    }
    startMore();
    if (!result || !result->Complete)
        return nullptr;
    return result;
}

std::unique_ptr<CompressedFile> EntryPrefetch::waitFor(const std::shared_ptr<Task>& task,
                                                       const std::function<void()>& whileWaiting) {
    std::unique_lock lock(mutex_);
    if (task->Status == Task::State::Queued) {
        if (!CompressesInParts(*task->Job)) {
            // No worker has it yet: the writing thread is quicker making it itself.
            drop(*task);
            return nullptr;
        }
        // A large file gets a thread of its own now, so that it is still made on
        // several threads while this one keeps the window answering.
        queue_.erase(QueueKey{task->Job->Size, task->Index});
        task->Status = Task::State::Running;
        extra_.emplace_back([this, task] {
            Deflater compressor;
            make(*task, compressor);
        });
    }
    // Memory the workers give back meanwhile lets the window take in more files, so
    // that they do not stand idle while this one is made.
    const std::uint64_t topUpFrom = bound_ / 16;
    auto answerBy = std::chrono::steady_clock::now() + kWaitSlice;
    while (task->Status != Task::State::Done) {
        const bool woken = done_.wait_until(lock, answerBy, [&] {
            return task->Status == Task::State::Done || returned_.load() >= topUpFrom;
        });
        lock.unlock();
        if (woken)
            startMore();
        if (std::chrono::steady_clock::now() >= answerBy) {
            whileWaiting(); // may end the run (cancel): the destructor stops the work
            answerBy = std::chrono::steady_clock::now() + kWaitSlice;
        }
        lock.lock();
    }
    std::unique_ptr<CompressedFile> result = std::move(task->Result);
    drop(*task);
    // A thread started for this file has done its work: it goes now, so that a run of
    // many large files does not gather ended threads.
    std::vector<std::thread> ended = std::move(extra_);
    extra_.clear();
    lock.unlock();
    for (std::thread& thread : ended)
        thread.join();
    return result;
}

void EntryPrefetch::Release(std::unique_ptr<CompressedFile> written) {
    released_.push_back(std::move(written));
    if (released_.size() < kReleaseBatch || workers_.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        for (auto& data : released_)
            toFree_.push_back(std::move(data));
    }
    released_.clear();
    wake_.notify_one();
}

void EntryPrefetch::make(Task& task, Deflater& compressor) {
    CompressedFile result = CompressFile(*task.Job, compressor, stop_, attributes_);
    // The data was given room for half the input; what it does not use goes back, so
    // that a done file counts at what it holds.
    if (result.Data.capacity() - result.Data.size() > result.Data.size() / 4 + 4096)
        result.Data.shrink_to_fit();
    const std::uint64_t held =
        result.Data.capacity() + result.Reads.capacity() * sizeof(result.Reads[0]);
    {
        const std::lock_guard lock(mutex_);
        if (!task.Dropped) {
            task.Result = std::make_unique<CompressedFile>(std::move(result));
            if (held < task.Held) {
                returned_ += task.Held - held;
                task.Held = held;
            }
        }
        task.Status.store(Task::State::Done, std::memory_order_release);
    }
    done_.notify_all();
}

EntryPrefetch::Queue::iterator EntryPrefetch::next() {
    const auto first = queue_.begin();
    if (first->first.first >= kLargeFile)
        return first;
    // A small file some way ahead of the writing thread; when there is none, the
    // farthest from it.
    const std::size_t from = writerAt_.load(std::memory_order_relaxed) + gap_;
    const auto ahead = queue_.lower_bound(QueueKey{0, from});
    return ahead != queue_.end() ? ahead : std::prev(queue_.end());
}

void EntryPrefetch::work() {
    Deflater compressor;
    for (;;) {
        std::shared_ptr<Task> task;
        std::vector<std::unique_ptr<CompressedFile>> written;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || !queue_.empty() || !toFree_.empty(); });
            if (stop_)
                return;
            written.swap(toFree_);
            if (!queue_.empty()) {
                const auto pick = next();
                task = std::move(pick->second);
                queue_.erase(pick);
                task->Status = Task::State::Running;
            }
        }
        written.clear(); // freed here, off the writing thread
        if (task)
            make(*task, compressor);
    }
}

} // namespace kd
