#include "MainFixture.h"

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
    state.FormActivate(view);

    EXPECT_EQ(names(), (std::vector<std::string>{"archiv", "Mzdy"}));
    EXPECT_EQ(state.profiles.texts(1)[1], "popis Mzdy");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Error");
    EXPECT_NE(ui.shown[0].text.find("\"x\""), std::string::npos);
    EXPECT_EQ(view.calls, (Calls{"page", "focus", "busy", "ready", "page", "timers"}));
    EXPECT_FALSE(state.TerminateRequested);
    EXPECT_TRUE(state.AdminPasswordEntered);

    // Later activations change nothing.
    state.FormActivate(view);
    EXPECT_EQ(view.calls.size(), 6u);
    EXPECT_EQ(state.profiles.count(), 2);
}

TEST_F(MainStateTest, RunSwitchBacksTheProfileUpAndEndsTheProgram) {
    writeProfile("Mzdy");
    writeProfile("Sklad");
    create({"A", "mZDY"});
    state.FormActivate(view);
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Mzdy"}));
    EXPECT_TRUE(state.RunDone);
    EXPECT_TRUE(state.TerminateRequested);
    EXPECT_TRUE(ui.shown.empty());
    // The window still leaves the busy state and starts its timers before it ends.
    EXPECT_EQ(view.calls, (Calls{"page", "focus", "busy", "terminate", "ready", "page", "timers"}));
    // Entering the list again asks for nothing more.
    state.ListEnter(view);
    EXPECT_EQ(view.calls.size(), 7u);
}

TEST_F(MainStateTest, FailedRunIsReportedAndTheProgramStillEnds) {
    writeProfile("Mzdy");
    runs.failingProfile = "Mzdy";
    create({"a", "mzdy"});
    state.FormActivate(view);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "disk full");
    EXPECT_TRUE(state.TerminateRequested);
    EXPECT_EQ(view.calls.back(), "timers");
}

TEST_F(MainStateTest, UnknownOrMissingProfileNameKeepsTheProgramOpen) {
    writeProfile("Mzdy");
    create({"s", "1", "a"});
    state.FormActivate(view);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Nenalezeno označení \"\", ktere si prejete zalohovat");
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");
    EXPECT_TRUE(runs.backups.empty());
    EXPECT_FALSE(state.TerminateRequested);

    MainState other(ui, clock, dir.path());
    other.setRuns(runs);
    other.FormCreate(CommandLine::parse("kd", {"o", "Sklad"}));
    other.FormActivate(view);
    EXPECT_EQ(ui.shown.back().text, "Nenalezeno označení \"sklad\", které si přejete obnovit");
    EXPECT_TRUE(runs.restores.empty());
}

TEST_F(MainStateTest, RestoreSwitchRestoresTheRowAndEndsTheProgram) {
    writeProfile("archiv");
    writeProfile("Mzdy");
    create({"o", "MZDY"});
    state.FormActivate(view);
    EXPECT_EQ(runs.restores, (std::vector<int>{1}));
    EXPECT_TRUE(state.TerminateRequested);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainStateTest, HidesOnlyWhenTheSettingsSaySo) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTSKRYT\r\nHESLO_ADMIN= x \r\n");
    create();
    state.FormActivate(view);
    EXPECT_EQ(view.calls.back(), "minimize");
    EXPECT_FALSE(state.MinimizeOnFirstActivate);
    EXPECT_FALSE(state.AdminPasswordEntered);
}

TEST_F(MainStateTest, StartedWithTheSystemAndSetToEndRunsOnePassAndEnds) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTKONEC\r\n");
    create({"1"});
    state.FormActivate(view);
    EXPECT_EQ(runs.passes, 1);
    EXPECT_TRUE(state.TerminateRequested);
    state.ListEnter(view);
    EXPECT_EQ(runs.passes, 1);

    // Without the "1" the program stays.
    MainState manual(ui, clock, dir.path());
    manual.setRuns(runs);
    manual.FormCreate(CommandLine::parse("kd", {}));
    manual.FormActivate(view);
    EXPECT_EQ(runs.passes, 1);
    EXPECT_FALSE(manual.TerminateRequested);
}

TEST_F(MainStateTest, TimerRunsAPassOnlyWhenIdleAndTheFirstCheckTimeHasCome) {
    create({"s", "10"});
    state.FormActivate(view);
    clock.advance(std::chrono::minutes(9));
    state.Timer1Timer(view);
    EXPECT_EQ(runs.passes, 0);

    clock.advance(std::chrono::minutes(1));
    view.pageActive = false;
    state.Timer1Timer(view);
    view.pageActive = true;
    view.ready = false;
    state.Timer1Timer(view);
    EXPECT_EQ(runs.passes, 0);

    view.ready = true;
    view.calls.clear();
    state.Timer1Timer(view);
    EXPECT_EQ(runs.passes, 1);
    EXPECT_EQ(view.calls, (Calls{"busy", "ready"}));
}

TEST_F(MainStateTest, FirstCheckTimeDefaultsToThreeMinutesAndANonNumberMeansAtOnce) {
    const TDateTime now = clock.nowLocal();
    create();
    EXPECT_NEAR(state.NextCheckTime - now, 3.0 / 1440, 1e-9);
    create({"s", "x"});
    EXPECT_NEAR(state.NextCheckTime - now, 0, 1e-9);
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
