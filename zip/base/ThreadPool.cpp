#include "zip/base/ThreadPool.h"

#include <algorithm>

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
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void ThreadPool::Submit(std::vector<std::function<void()>> tasks) {
    if (tasks.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        for (auto& task : tasks)
            tasks_.push_back(std::move(task));
    }
    if (tasks.size() == 1)
        wake_.notify_one();
    else
        wake_.notify_all();
}

int ThreadPool::Cores() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void ThreadPool::work(const std::stop_token& stop) {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !tasks_.empty(); }))
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace kd
