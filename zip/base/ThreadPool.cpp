#include "zip/base/ThreadPool.h"

#include <algorithm>
#include <iterator>

namespace kd {

ThreadPool::ThreadPool(int threads) {
    for (int i = 0; i < std::max(threads, 1); ++i)
        threads_.emplace_back([this](const std::stop_token& stop) { work(stop); });
}

ThreadPool::~ThreadPool() {
    {
        const std::lock_guard lock(mutex_);
        tasks_.clear();
    }
    for (auto& thread : threads_)
        thread.request_stop();
    threads_.clear(); // joins
}

void ThreadPool::Submit(std::function<void()> task) {
    add(std::span(&task, 1), false);
}

void ThreadPool::SubmitFirst(std::function<void()> task) {
    add(std::span(&task, 1), true);
}

void ThreadPool::Submit(std::vector<std::function<void()>> tasks) {
    add(std::span(tasks), false);
}

void ThreadPool::SubmitFirst(std::vector<std::function<void()>> tasks) {
    add(std::span(tasks), true);
}

void ThreadPool::add(std::span<std::function<void()>> tasks, bool first) {
    if (tasks.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        tasks_.insert(first ? tasks_.begin() : tasks_.end(), std::make_move_iterator(tasks.begin()),
                      std::make_move_iterator(tasks.end()));
    }
    // One worker is woken here; each worker that takes a task while more wait wakes
    // the next, so that the waking is not all on the submitting thread.
    wake_.notify_one();
}

int ThreadPool::Cores() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void ThreadPool::work(const std::stop_token& stop) {
    for (;;) {
        std::function<void()> task;
        bool more = false;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !tasks_.empty(); }))
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
            more = !tasks_.empty();
        }
        if (more)
            wake_.notify_one();
        task();
    }
}

} // namespace kd
