// The order in which a pool's worker takes what was submitted while it was busy.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "zip/base/ThreadPool.h"

using namespace kd;

TEST(ThreadPool, TasksSubmittedFirstRunBeforeThoseWaitingInTheirOwnOrder) {
    std::mutex mutex;
    std::vector<std::string> ran;
    const auto task = [&](std::string name) {
        return [&, name] {
            const std::lock_guard lock(mutex);
            ran.push_back(name);
        };
    };
    std::promise<void> release;
    std::promise<void> busy;
    {
        ThreadPool pool(1);
        pool.Submit([&] {
            busy.set_value();
            release.get_future().wait();
        });
        busy.get_future().wait(); // everything below waits behind this task
        pool.Submit(std::vector<std::function<void()>>{task("a"), task("b")});
        pool.SubmitFirst(task("x"));
        pool.SubmitFirst(std::vector<std::function<void()>>{task("y"), task("z")});
        pool.SubmitFirst(std::vector<std::function<void()>>{}); // changes nothing
        std::promise<void> done;
        pool.Submit([&] { done.set_value(); });
        release.set_value();
        done.get_future().wait();
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"y", "z", "x", "a", "b"}));
}
