#include "app/support/MainFixture.h"

#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

using Calls = std::vector<std::string>;
class MainStateTest : public MainStateFixture {};

} // namespace

TEST_F(MainStateTest, FirstActivationLoadsEveryProfileAndGoesOnPastABrokenOne) {
    writeProfile("Mzdy");
    writeProfile("archiv");
    // Listed as "x", whose own file does not exist: reported and skipped.
    dir.write("x.y.lus", "popis\n");
    // "Mzdy.old.lus" names "Mzdy" again, which is listed once.
    dir.write("Mzdy.old.lus", "stary\n");
    std::filesystem::create_directory(dir.file("adresar.lus"));
    dir.write("poznamky.txt", "");
    create();
    state.FormActivate();

    EXPECT_EQ(names(), (std::vector<std::string>{"archiv", "Mzdy"}));
    EXPECT_EQ(state.profiles.texts(1)[1], "popis Mzdy");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Chyba");
    EXPECT_NE(ui.shown[0].text.find("\"x\""), std::string::npos);
    EXPECT_EQ(view.calls, (Calls{"page", "focus", "busy", "ready", "page", "timers"}));
    EXPECT_FALSE(state.TerminateRequested);
    EXPECT_TRUE(state.AdminPasswordEntered);

    // Later activations change nothing.
    state.FormActivate();
    EXPECT_EQ(view.calls.size(), 6u);
    EXPECT_EQ(state.profiles.count(), 2);
}

TEST_F(MainStateTest, RunSwitchBacksTheProfileUpAndEndsTheProgram) {
    writeProfile("Mzdy");
    writeProfile("Sklad");
    create({"A", "mZDY"});
    state.FormActivate();
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Mzdy"}));
    EXPECT_TRUE(state.RunDone);
    EXPECT_TRUE(state.TerminateRequested);
    EXPECT_TRUE(ui.shown.empty());
    // The window still leaves the busy state and starts its timers before it ends.
    EXPECT_EQ(view.calls, (Calls{"page", "focus", "busy", "terminate", "ready", "page", "timers"}));
    // Entering the list again asks for nothing more.
    state.ListEnter();
    EXPECT_EQ(view.calls.size(), 7u);
}

TEST_F(MainStateTest, FailedRunIsReportedAndTheProgramStillEnds) {
    writeProfile("Mzdy");
    runs.failingProfile = "Mzdy";
    create({"a", "mzdy"});
    state.FormActivate();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "disk full");
    EXPECT_TRUE(state.TerminateRequested);
    EXPECT_EQ(view.calls.back(), "timers");
}

TEST_F(MainStateTest, UnknownOrMissingProfileNameKeepsTheProgramOpen) {
    writeProfile("Mzdy");
    create({"s", "1", "a"});
    state.FormActivate();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Nenalezeno označení \"\", které si přejete zálohovat");
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");
    EXPECT_TRUE(runs.backups.empty());
    EXPECT_FALSE(state.TerminateRequested);

    MainState other(ui, clock, dir.path(), view);
    other.setRuns(runs);
    other.FormCreate(CommandLine::parse("kd", {"o", "Sklad"}));
    other.FormActivate();
    EXPECT_EQ(ui.shown.back().text, "Nenalezeno označení \"sklad\", které si přejete obnovit");
    EXPECT_TRUE(runs.restores.empty());
}

TEST_F(MainStateTest, RestoreSwitchRestoresTheRowAndEndsTheProgram) {
    writeProfile("archiv");
    writeProfile("Mzdy");
    create({"o", "MZDY"});
    state.FormActivate();
    EXPECT_EQ(runs.restores, (std::vector<int>{1}));
    EXPECT_TRUE(state.TerminateRequested);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainStateTest, HidesOnlyWhenTheSettingsSaySo) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTSKRYT\r\nHESLO_ADMIN= x \r\n");
    create();
    state.FormActivate();
    EXPECT_EQ(view.calls.back(), "minimize");
    EXPECT_FALSE(state.MinimizeOnFirstActivate);
    EXPECT_FALSE(state.AdminPasswordEntered);
}

TEST_F(MainStateTest, StartedWithTheSystemAndSetToEndRunsOnePassAndEnds) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTKONEC\r\nZALOHA=BEZDOT\r\n");
    writeDueProfile("Mzdy");
    create({"1"});
    state.FormActivate();
    // The scheduler's pass ran before the first check time and started the due backup.
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Mzdy"}));
    EXPECT_TRUE(state.TerminateRequested);
    state.ListEnter();
    EXPECT_EQ(runs.backups.size(), 1u);

    // Without the "1" the program stays and runs nothing before the first check time.
    MainState manual(ui, clock, dir.path(), view);
    manual.setRuns(runs);
    manual.FormCreate(CommandLine::parse("kd", {}));
    manual.FormActivate();
    EXPECT_EQ(runs.backups.size(), 1u);
    EXPECT_FALSE(manual.TerminateRequested);
}

// The exit status tells a script what happened: a failure outweighs files left out,
// which outweigh complete runs; for "a", "o" and the "1" start alike.
TEST_F(MainStateTest, ExitStatusIsTheWorstOfTheRuns) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTKONEC\r\nZALOHA=BEZDOT\r\n");
    writeDueProfile("Mzdy");
    writeDueProfile("Sklad");
    const auto statusOf = [&](const std::vector<std::string>& arguments) {
        MainState main(ui, clock, dir.path(), view);
        main.setRuns(runs);
        main.FormCreate(CommandLine::parse("kd", arguments));
        main.FormActivate();
        return main.ExitStatus;
    };
    EXPECT_EQ(statusOf({"a", "mzdy"}), 0);
    EXPECT_EQ(statusOf({"1"}), 0);
    runs.results["Mzdy"] = RunResult::Incomplete;
    EXPECT_EQ(statusOf({"a", "mzdy"}), 2);
    EXPECT_EQ(statusOf({"1"}), 2);
    runs.results["Sklad"] = RunResult::Failed;
    EXPECT_EQ(statusOf({"1"}), 1);
    EXPECT_EQ(statusOf({"a", "sklad"}), 1);

    runs.restoreResult = RunResult::Incomplete;
    EXPECT_EQ(statusOf({"o", "mzdy"}), 2);
    runs.restoreResult = RunResult::Failed;
    EXPECT_EQ(statusOf({"o", "mzdy"}), 1);
}

TEST_F(MainStateTest, TimerTickRunsASchedulerPassOnlyWhenIdleAndTheFirstCheckTimeHasCome) {
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\nTIMER=120000\r\n");
    writeDueProfile("Mzdy");
    create({"s", "10"});
    state.FormActivate();
    Scheduler& scheduler = state.scheduler();
    clock.advance(std::chrono::minutes(9));
    EXPECT_FALSE(scheduler.Timer1Timer().ran);
    EXPECT_EQ(view.interval, std::chrono::minutes(2));

    clock.advance(std::chrono::minutes(1));
    view.pageActive = false;
    EXPECT_FALSE(scheduler.Timer1Timer().ran);
    view.pageActive = true;
    view.ready = false;
    EXPECT_FALSE(scheduler.Timer1Timer().ran);
    EXPECT_TRUE(runs.backups.empty());

    view.ready = true;
    view.calls.clear();
    EXPECT_EQ(scheduler.Timer1Timer().started, 1);
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Mzdy"}));
    EXPECT_EQ(view.calls.front(), "busy");
    EXPECT_EQ(view.calls.back(), "ready");
}

TEST_F(MainStateTest, FirstCheckTimeDefaultsToThreeMinutesAndANonNumberMeansAtOnce) {
    create();
    EXPECT_EQ(state.scheduler().NextCheckTime() - clock.now(), std::chrono::minutes(3));
    create({"s", "x"});
    EXPECT_EQ(state.scheduler().NextCheckTime(), clock.now());
}

TEST_F(MainStateTest, ListShowsTheLastRunFromTheStampFile) {
    writeProfile("Mzdy");
    writeProfile("Nove");
    WriteLastRun(dir.path(), "Mzdy", encodeDateTime({2024, 3, 5, 18, 30, 0, 0}));
    create();
    state.FormActivate();
    EXPECT_NE(state.profiles.texts(0)[7].find("5.3.2024"), std::string::npos);
    EXPECT_NE(state.profiles.texts(0)[7].find("18:30"), std::string::npos);
    EXPECT_EQ(state.profiles.texts(1)[7], " ");
}

TEST_F(MainStateTest, ProfilePasswordHoldsOnceAnsweredRight) {
    create();
    EXPECT_TRUE(state.grantProfileAccess()); // no password set: nothing asked
    EXPECT_TRUE(ui.prompts.empty());

    state.ProfileUnlocked = false;
    state.settings.ProfilePassword = "Tajne";
    ui.inputNext("tajne");
    EXPECT_FALSE(state.grantProfileAccess());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Nesprávné heslo, nelze upravovat profily");
    ui.inputNext(std::nullopt);
    EXPECT_FALSE(state.grantProfileAccess());
    EXPECT_EQ(ui.shown.size(), 2u);
    ui.inputNext("Tajne");
    EXPECT_TRUE(state.grantProfileAccess());
    EXPECT_TRUE(state.grantProfileAccess());
    EXPECT_EQ(ui.prompts.size(), 3u);
}
