#include "app/core/Scheduler.h"
#include "app/core/LastRunStamp.h"
#include "platform/Exception.h"
#include "support/FakeClock.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

using namespace kd;
using namespace std::chrono_literals;

namespace {

class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest() { clock.setLocal(encodeDateTime({2024, 5, 15, 12, 0, 0, 0})); }

    // A daily profile from 0:00; with a stamp from two days ago it is due.
    TObjektZal& addProfile(const std::string& name, bool stamped = true) {
        auto& p = *rows.emplace_back(std::make_unique<TObjektZal>());
        p.Name = name;
        p.PeriodKind = 1;
        p.PeriodValue = 1;
        if (stamped)
            WriteLastRun(dir.path(), name, clock.nowLocal() - 2);
        return p;
    }

    Scheduler& scheduler() {
        if (!scheduler_) {
            Scheduler::Hooks hooks;
            hooks.setTimerInterval = [this](std::chrono::milliseconds ms) { interval = ms; };
            hooks.isIdle = [this] { return idle; };
            hooks.ShowBusy = [this] { events.push_back("busy"); };
            hooks.ShowReady = [this] { events.push_back("ready"); };
            scheduler_.emplace(
                clock, ui, settings, dir.path(),
                [this](int row) {
                    return row < static_cast<int>(rows.size()) ? rows[row].get() : nullptr;
                },
                [this](TObjektZal& p, int row) {
                    events.push_back("run " + p.Name + " " + std::to_string(row));
                    return onRun ? onRun(p) : true;
                },
                hooks, [](int id) { return "<" + std::to_string(id) + ">"; });
        }
        return *scheduler_;
    }

    test::TempDir dir;
    test::FakeClock clock;
    test::ScriptedUiHost ui;
    ProgramSettings settings;
    std::vector<std::unique_ptr<TObjektZal>> rows;
    std::function<bool(TObjektZal&)> onRun;
    std::vector<std::string> events;
    std::chrono::milliseconds interval{0};
    bool idle = true;

private:
    std::optional<Scheduler> scheduler_;
};

TEST_F(SchedulerTest, TickRunsAPassOnlyAfterTheFirstCheckTimeAndWhenIdle) {
    settings.NoQuestions = true;
    addProfile("Data");
    EXPECT_FALSE(scheduler().Timer1Timer().ran); // first check three minutes after start
    EXPECT_EQ(interval, 600000ms);
    clock.advance(3min - 1s);
    EXPECT_FALSE(scheduler().Timer1Timer().ran);
    clock.advance(1s);
    idle = false; // a run, a restore or the editor is active
    EXPECT_FALSE(scheduler().Timer1Timer().ran);
    idle = true;
    const auto report = scheduler().Timer1Timer();
    EXPECT_TRUE(report.ran);
    EXPECT_EQ(report.started, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"busy", "run Data 0", "busy", "ready"}));

    scheduler().setNextCheckTime(clock.now() + 10min); // the "s" switch
    EXPECT_FALSE(scheduler().Timer1Timer().ran);
}

TEST_F(SchedulerTest, TimerIntervalNeverSpins) {
    for (const auto& [setting, expected] : {std::pair{0, 600000ms}, std::pair{-5, 600000ms},
                                            std::pair{1, 1000ms}, std::pair{120000, 120000ms}}) {
        settings.TimerInterval = setting;
        EXPECT_EQ(Scheduler::timerInterval(settings), expected) << setting;
    }
}

TEST_F(SchedulerTest, AsksForEachDueProfileUnlessNoQuestions) {
    addProfile("A");
    addProfile("B");
    ui.answerNext(MsgAnswer::Yes);
    ui.answerNext(MsgAnswer::No);
    auto report = scheduler().CheckSchedule();
    EXPECT_EQ(report.started, 1);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "<11002>A ?");
    EXPECT_EQ(ui.shown[0].caption, "<10017>");
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.shown[1].text, "<11002>B ?");
    EXPECT_EQ(events[1], "run A 0");

    ui.shown.clear();
    events.clear();
    settings.NoQuestions = true;
    onRun = [](TObjektZal& p) { return p.Name == "B"; };
    report = scheduler().CheckSchedule();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(report.started, 2);
    EXPECT_EQ(report.succeeded, 1);
}

TEST_F(SchedulerTest, OnlyStampedScheduledProfilesRunAndAMissingRecordEndsThePass) {
    settings.NoQuestions = true;
    addProfile("NeverRun", false);
    addProfile("Paused").Paused = true;
    addProfile("Manual").PeriodKind = 0;
    addProfile("Zero").PeriodValue = 0;
    addProfile("RanToday");
    WriteLastRun(dir.path(), "RanToday", clock.nowLocal() - 0.01);
    addProfile("Due");
    rows.emplace_back(nullptr);
    addProfile("AfterTheGap");
    EXPECT_EQ(scheduler().CheckSchedule().started, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"busy", "run Due 5", "busy", "ready"}));
}

TEST_F(SchedulerTest, NoPassStartsInsideAPass) {
    settings.NoQuestions = true;
    addProfile("A");
    addProfile("B");
    scheduler();
    clock.advance(5min);
    std::vector<bool> nested;
    onRun = [&](TObjektZal&) {
        // The run has shown the ready state, the timer ticks while it works.
        idle = true;
        nested.push_back(scheduler().Timer1Timer().ran);
        nested.push_back(scheduler().CheckSchedule().ran);
        EXPECT_TRUE(scheduler().passRunning());
        return true;
    };
    EXPECT_EQ(scheduler().Timer1Timer().started, 2);
    EXPECT_EQ(nested, (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(scheduler().passRunning());
}

TEST_F(SchedulerTest, AnErrorEndsThePassAndRestoresTheReadyState) {
    settings.NoQuestions = true;
    addProfile("A");
    addProfile("B");
    onRun = [](TObjektZal&) -> bool { throw Exception("Disk full"); };
    auto report = scheduler().CheckSchedule();
    EXPECT_TRUE(report.ended);
    EXPECT_EQ(report.started, 1); // B waits for the next pass
    EXPECT_EQ(events, (std::vector<std::string>{"busy", "run A 0", "ready"}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Disk full");
    EXPECT_EQ(ui.shown[0].caption, "<20000>");
    EXPECT_FALSE(scheduler().passRunning());

    // A cancelled run ends the pass without a box.
    onRun = [](TObjektZal&) -> bool { throw SilentAbort(); };
    report = scheduler().CheckSchedule();
    EXPECT_TRUE(report.ended);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(events.back(), "ready");

    // So does a stamp that exists but cannot be read; the ready state comes back.
    events.clear();
    onRun = nullptr;
    std::filesystem::remove(dir.file("A.txt"));
    std::filesystem::create_directory(dir.file("A.txt"));
    report = scheduler().CheckSchedule();
    EXPECT_TRUE(report.ended);
    EXPECT_EQ(report.started, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"busy", "ready"}));
    EXPECT_EQ(ui.shown.size(), 2u);
}

} // namespace
