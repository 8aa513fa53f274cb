#include "app/core/schedule/Scheduler.h"
#include "app/core/logs/LastRunStamp.h"
#include "platform/Exception.h"
#include "support/FakeClock.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace kd;
using namespace std::chrono_literals;
using Events = std::vector<std::string>;

namespace {

class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest() {
        clock.setLocal(encodeDateTime({2024, 5, 15, 12, 0, 0, 0}));
        Scheduler::Hooks hooks{[this](std::chrono::milliseconds ms) { interval = ms; },
                               [this] { return idle; }, [this] { events.push_back("busy"); },
                               [this] { events.push_back("ready"); }};
        scheduler = std::make_unique<Scheduler>(
            clock, ui, settings, dir.path(),
            [this](int row) { return row < std::ssize(rows) ? rows[row].get() : nullptr; },
            [this](TObjektZal& p, int row) {
                events.push_back("run " + p.Name + " " + std::to_string(row));
                return onRun ? onRun(p) : RunResult::Complete;
            },
            hooks, [](int id) { return "<" + std::to_string(id) + ">"; });
    }

    // A daily profile from 0:00 that last ran two days ago: due.
    TObjektZal& addProfile(const std::string& name, bool stamped = true) {
        auto& p = *rows.emplace_back(std::make_unique<TObjektZal>());
        p.Name = name;
        p.PeriodKind = 1;
        p.PeriodValue = 1;
        if (stamped)
            WriteLastRun(dir.path(), name, clock.nowLocal() - 2);
        return p;
    }

    test::TempDir dir;
    test::FakeClock clock;
    test::ScriptedUiHost ui;
    ProgramSettings settings;
    std::vector<std::unique_ptr<TObjektZal>> rows;
    std::function<RunResult(TObjektZal&)> onRun;
    Events events;
    std::chrono::milliseconds interval{0};
    bool idle = true;
    std::unique_ptr<Scheduler> scheduler;
};

TEST_F(SchedulerTest, TickRunsAPassOnlyAfterTheFirstCheckTimeAndWhenIdle) {
    settings.NoQuestions = true;
    addProfile("Data");
    clock.advance(3min - 1s);
    EXPECT_FALSE(scheduler->Timer1Timer().ran);
    EXPECT_EQ(interval, 600000ms);
    clock.advance(1s);
    idle = false; // a run, a restore or the editor is active
    EXPECT_FALSE(scheduler->Timer1Timer().ran);
    idle = true;
    EXPECT_EQ(scheduler->Timer1Timer().started, 1);
    EXPECT_EQ(events, (Events{"busy", "run Data 0", "busy", "ready"}));

    scheduler->setNextCheckTime(clock.now() + 10min); // the "s" switch
    EXPECT_FALSE(scheduler->Timer1Timer().ran);

    // An interval of 0 or less, or a tiny one, never makes the timer spin.
    for (const auto& [ms, expected] : {std::pair{0, 600000ms}, std::pair{-5, 600000ms},
                                       std::pair{1, 1000ms}, std::pair{120000, 120000ms}}) {
        settings.TimerInterval = ms;
        scheduler->Timer1Timer();
        EXPECT_EQ(interval, expected) << ms;
    }
}

TEST_F(SchedulerTest, AsksForEachDueProfileUnlessNoQuestions) {
    addProfile("A");
    addProfile("B");
    ui.answerNext(MsgAnswer::Yes);
    ui.answerNext(MsgAnswer::No);
    EXPECT_EQ(scheduler->CheckSchedule().started, 1);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "<11002>A ?");
    EXPECT_EQ(ui.shown[0].caption, "<10017>");
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.shown[1].text, "<11002>B ?");
    EXPECT_EQ(events[1], "run A 0");

    settings.NoQuestions = true;
    onRun = [](TObjektZal& p) { return p.Name == "B" ? RunResult::Complete : RunResult::Failed; };
    const auto report = scheduler->CheckSchedule();
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(report.started, 2);
    EXPECT_EQ(report.succeeded, 1);
}

TEST_F(SchedulerTest, OnlyStampedScheduledProfilesRunAndAMissingRecordEndsThePass) {
    settings.NoQuestions = true;
    addProfile("NeverRun", false);
    addProfile("Paused").Paused = true;
    addProfile("Manual").PeriodKind = 0;
    addProfile("RanToday");
    WriteLastRun(dir.path(), "RanToday", clock.nowLocal() - 0.01);
    addProfile("Due");
    rows.emplace_back(nullptr);
    addProfile("AfterTheGap");
    scheduler->CheckSchedule();
    EXPECT_EQ(events, (Events{"busy", "run Due 4", "busy", "ready"}));
}

TEST_F(SchedulerTest, NoPassStartsInsideAPass) {
    settings.NoQuestions = true;
    addProfile("A");
    addProfile("B");
    clock.advance(5min);
    std::vector<bool> nested;
    onRun = [&](TObjektZal&) {
        idle = true; // the run has shown the ready state; the timer ticks meanwhile
        nested.push_back(scheduler->Timer1Timer().ran);
        nested.push_back(scheduler->CheckSchedule().ran);
        return RunResult::Complete;
    };
    EXPECT_EQ(scheduler->Timer1Timer().started, 2);
    EXPECT_EQ(nested, (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(scheduler->passRunning());
}

TEST_F(SchedulerTest, AnErrorEndsThePassAndRestoresTheReadyState) {
    settings.NoQuestions = true;
    addProfile("A");
    addProfile("B");
    onRun = [](TObjektZal&) -> RunResult { throw Exception("Disk full"); };
    EXPECT_TRUE(scheduler->CheckSchedule().ended);
    EXPECT_EQ(events, (Events{"busy", "run A 0", "ready"})); // B waits for the next pass
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Disk full");
    EXPECT_EQ(ui.shown[0].caption, "<20000>");

    // A cancelled run ends the pass without a box.
    onRun = [](TObjektZal&) -> RunResult { throw SilentAbort(); };
    EXPECT_TRUE(scheduler->CheckSchedule().ended);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(events.back(), "ready");

    // So does a stamp that exists but cannot be read.
    events.clear();
    std::filesystem::remove(dir.file("A.txt"));
    std::filesystem::create_directory(dir.file("A.txt"));
    EXPECT_TRUE(scheduler->CheckSchedule().ended);
    EXPECT_EQ(events, (Events{"busy", "ready"}));
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_FALSE(scheduler->passRunning());
}

} // namespace
