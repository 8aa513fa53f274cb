#include "widgets/timer/TThTimer.h"
#include "gui/GuiApplication.h"

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace kd::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the event loop until done() holds or a generous limit passes.
bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit = 20s) {
    const auto until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class TThTimerTest : public ::testing::Test {
protected:
    TThTimerTest() { ensureApplication(); }
    std::atomic<int> ticks{0};
};

TEST_F(TThTimerTest, TicksComeFromTheWorkerOrTheOwnersThreadWithTheTimerAsSender) {
    TThTimer worker;
    EXPECT_FALSE(worker.Synchronize());
    std::atomic<bool> inWorker{false}, rightSender{false};
    worker.SetOnTimer([&](TThTimer& sender) {
        inWorker = QThread::currentThread() != QCoreApplication::instance()->thread();
        rightSender = &sender == &worker;
        ++ticks;
    });
    worker.SetInterval(1);
    worker.SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks >= 3; }));
    worker.SetEnabled(false);
    EXPECT_TRUE(inWorker);
    EXPECT_TRUE(rightSender);

    QObject owner;
    TThTimer synced(&owner);
    EXPECT_TRUE(synced.Synchronize());
    std::atomic<int> syncedTicks{0};
    std::atomic<bool> inGui{true};
    synced.SetOnTimer([&](TThTimer&) {
        inGui = inGui && QThread::currentThread() == QCoreApplication::instance()->thread();
        ++syncedTicks;
    });
    synced.SetInterval(1);
    synced.SetEnabled(true);
    // Without the event loop no synchronised tick can run.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(syncedTicks, 0);
    ASSERT_TRUE(waitUntil([&] { return syncedTicks >= 3; }));
    EXPECT_TRUE(inGui);
}

TEST_F(TThTimerTest, TheNextWaitStartsWhenTheHandlerHasReturned) {
    TThTimer timer;
    std::vector<Clock::time_point> starts, ends;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    timer.SetOnTimer([&](TThTimer& sender) {
        overlapped = overlapped || ++running > 1;
        starts.push_back(Clock::now());
        std::this_thread::sleep_for(150ms); // longer than the interval
        ends.push_back(Clock::now());
        --running;
        if (++ticks == 3)
            sender.SetEnabled(false);
    });
    timer.SetInterval(100);
    timer.SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks >= 3; }));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(ticks, 3); // disabled from inside the handler: no further tick
    EXPECT_FALSE(overlapped);
    for (std::size_t i = 1; i < 3; ++i)
        EXPECT_GE(starts[i] - ends[i - 1], 95ms);

    // The worker kept waking: enabling again brings ticks back.
    timer.SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks >= 4; }));
    timer.SetEnabled(false);
}

TEST_F(TThTimerTest, IntervalZeroTicksWithoutPauseOnlyWhileEnabled) {
    TThTimer timer;
    timer.SetOnTimer([&](TThTimer&) { ++ticks; });
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true); // wakes the worker that sleeps while disabled at 0 ms
    ASSERT_TRUE(waitUntil([&] { return ticks >= 1000; }));
    timer.SetEnabled(false);

    // Without a handler the worker just keeps waking.
    TThTimer empty;
    empty.SetEnabled(true);
    std::this_thread::sleep_for(20ms);
    empty.SetOnTimer([&](TThTimer&) { ++ticks; });
    const int before = ticks;
    ASSERT_TRUE(waitUntil([&] { return ticks > before + 10; }));
}

TEST_F(TThTimerTest, DestroyingNeverWaitsForTheIntervalNorForAPendingTick) {
    const auto started = Clock::now();
    {
        TThTimer timer;
        timer.SetInterval(600000);
        timer.SetEnabled(true);
        std::this_thread::sleep_for(20ms); // the worker is inside its wait
    }
    {
        // A synchronised tick handed over but never run: the GUI thread is not
        // listening while it destroys the timer.
        QObject owner;
        auto timer = std::make_unique<TThTimer>(&owner);
        timer->SetOnTimer([&](TThTimer&) { ++ticks; });
        timer->SetEnabled(true);
        std::this_thread::sleep_for(50ms);
        timer.reset();
        QCoreApplication::processEvents();
        EXPECT_EQ(ticks, 0); // the dropped call never reaches a timer that is gone
    }
    EXPECT_LT(Clock::now() - started, 10s);
}

TEST_F(TThTimerTest, EachTimerStopsOnlyItsOwnWorker) {
    TThTimer kept;
    kept.SetInterval(1);
    kept.SetOnTimer([&](TThTimer&) { ++ticks; });
    kept.SetEnabled(true);
    { TThTimer other; } // made and destroyed in the same instant as a neighbour
    const int before = ticks;
    ASSERT_TRUE(waitUntil([&] { return ticks > before + 3; }));
}

TEST_F(TThTimerTest, AHandlerThatThrowsNeverEndsTheProcess) {
    TThTimer worker;
    worker.SetOnTimer([&](TThTimer&) {
        ++ticks;
        throw std::runtime_error("handler failed");
    });
    worker.SetInterval(1);
    worker.SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks >= 3; }));
    worker.SetEnabled(false);

    QObject owner;
    TThTimer synced(&owner);
    std::atomic<int> syncedTicks{0};
    synced.SetOnTimer([&](TThTimer&) {
        ++syncedTicks;
        throw 42;
    });
    synced.SetInterval(1);
    synced.SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return syncedTicks >= 3; }));
}

TEST_F(TThTimerTest, AHandlerMayDestroyItsOwnTimer) {
    auto* worker = new TThTimer;
    worker->SetOnTimer([&](TThTimer& sender) {
        delete &sender;
        ++ticks;
    });
    worker->SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks == 1; }));

    QObject owner;
    auto* synced = new TThTimer(&owner);
    synced->SetOnTimer([&](TThTimer& sender) {
        delete &sender;
        ++ticks;
    });
    synced->SetEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks == 2; }));
    std::this_thread::sleep_for(20ms);
    QCoreApplication::processEvents(); // the finished worker thread is released
    EXPECT_EQ(ticks, 2);
}

} // namespace
} // namespace kd::test
