#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace kd {

// A fixed number of worker threads running submitted tasks in the order submitted.
// The destructor drops the tasks not yet started and waits for the running ones, so
// nothing a task uses may die before the pool. A task must not throw. A submission
// wakes one sleeping worker, which wakes another while tasks wait.
class ThreadPool {
public:
    explicit ThreadPool(int threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    void Submit(std::function<void()> task);
    // Submits the tasks in their order, waking the workers once.
    void Submit(std::vector<std::function<void()>> tasks);
    // Submits a task to run before those waiting: one that a running task waits for.
    void SubmitFirst(std::function<void()> task);
    // Submits the tasks, in their order, before those waiting, waking the workers once.
    void SubmitFirst(std::vector<std::function<void()>> tasks);

    // The machine's cores (at least 1).
    static int Cores();

private:
    // Moves the tasks in, in their order, before or after those waiting.
    void add(std::span<std::function<void()>> tasks, bool first);
    void work(const std::stop_token& stop);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::jthread> threads_; // last: stopped and joined first
};

} // namespace kd
