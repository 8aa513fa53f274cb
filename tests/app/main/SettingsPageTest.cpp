#include "app/core/main/AppRuns.h"
#include "app/core/main/SettingsPageSession.h"
#include "app/core/settings/OverwriteChoice.h"
#include "app/core/settings/SettingsFile.h"
#include "app/support/MainFixture.h"
#include "platform/ArchiveAttributeFake.h"
#include "platform/AtomicFile.h"
#include "platform/FakeVolumeService.h"
#include "platform/TextFile.h"

#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

using Lines = std::vector<std::string>;
using Field = EBadSettingsValue::Field;
using Outcome = SettingsPageSession::OkOutcome;

class SettingsPageTest : public MainStateFixture {
protected:
    SettingsPageTest() {
        create();
        state.FormActivate();
        view.calls.clear();
    }
    // What the page shows after start-up and entering it.
    SettingsPageValues enter() {
        SettingsPageValues shown = settingsPageValues(state.settings);
        EXPECT_TRUE(session.MenuNastaven1Click());
        session.TabSheetNastavenEnter(shown);
        return shown;
    }
    Lines fileLines() { return readTextLines(dir.file("Nastaven.txt")); }

    SettingsPageSession session{state};
};

std::optional<Field> badField(const SettingsPageValues& page) {
    try {
        settingsFromPage({}, page, "CZ");
    } catch (const EBadSettingsValue& e) {
        return e.field();
    }
    return std::nullopt;
}

} // namespace

TEST(OverwriteChoiceTest, ItemsMapToTheEngineModesAndBack) {
    // "Vždy", "Mladší", "Starší", "Nikdy", "Dotaz"
    const std::vector<int> ordinals = {1, 3, 4, 2, 0};
    for (int position = 0; position < 5; ++position) {
        const auto mode = overwriteModeOfChoice(position);
        ASSERT_TRUE(mode);
        EXPECT_EQ(static_cast<int>(*mode), ordinals[static_cast<std::size_t>(position)]);
        EXPECT_EQ(overwriteChoiceOfMode(static_cast<int>(*mode)), position);
    }
    EXPECT_EQ(overwriteModeOfChoice(1), TUZOverwriteMode::ifNewer);
    for (int outside : {-1, 5})
        EXPECT_FALSE(overwriteModeOfChoice(outside));
    for (int outside : {-1, 5, 99})
        EXPECT_EQ(overwriteChoiceOfMode(outside), -1);
}

TEST(SettingsPageValuesTest, EveryValueIsCheckedBeforeAnythingIsTaken) {
    SettingsPageValues page;
    for (const char* bad : {"", "0", "-5", "35792", "99999999999", "1.5", "abc", "10 min", "+"}) {
        page.interval = bad;
        EXPECT_EQ(badField(page), Field::Interval) << bad;
    }
    for (const char* good : {"1", " 10 ", "035791"}) {
        page.interval = good;
        EXPECT_EQ(badField(page), std::nullopt) << good;
    }
    page.interval = "35791";
    EXPECT_EQ(settingsFromPage({}, page, "CZ").TimerInterval, 2147460000);

    page.packLevel = 10;
    EXPECT_EQ(badField(page), Field::PackLevel);
    page.packLevel = -1;
    EXPECT_EQ(badField(page), Field::PackLevel);
    page.packLevel = 0;
    page.adminPassword = "a\nHESLO=";
    EXPECT_EQ(badField(page), Field::Text);

    page.interval = "x";
    try {
        settingsFromPage({}, page, "EN");
        FAIL();
    } catch (const EBadSettingsValue& e) {
        EXPECT_STREQ(e.what(),
                     "The backup interval must be a whole number of minutes from 1 to 35791.");
    }
}

TEST_F(SettingsPageTest, EnteringReloadsOnlyTheMainWindowFields) {
    state.settings.TimerInterval = 90000; // one and a half minutes
    state.settings.AutoStartMode = 7;
    state.settings.InitDestDir = "/mnt/cil";
    SettingsPageValues shown = settingsPageValues(state.settings);
    shown.tempDir = "/tmp/typed";
    shown.interval = "55";
    shown.startMode = 0;
    session.TabSheetNastavenEnter(shown);
    EXPECT_EQ(shown.interval, "1");
    EXPECT_EQ(shown.startMode, 2);
    EXPECT_EQ(shown.initDestDir, "/mnt/cil");
    EXPECT_EQ(shown.tempDir, "/tmp/typed");
    // The default engine mode ifNewer shows as "Mladší".
    EXPECT_EQ(shown.overwritePosition, 1);
}

TEST_F(SettingsPageTest, OkWritesTheFifteenLinesAndPutsThemIntoEffect) {
    SettingsPageValues page = enter();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"busy"}));
    page.startMode = 0;
    page.noQuestions = true;
    page.interval = "15";
    page.initDestDir = "/mnt/zalohy";
    page.tempDir = "/var/tmp";
    page.overwritePosition = 2; // "Starší"
    page.packLevel = 9;
    page.profilePassword = " tajne ";
    page.adminPassword = "admin";
    page.languagePosition = 1;
    page.keepTime = true;
    EXPECT_EQ(session.ButtonOkClick(page).outcome, Outcome::Saved);

    EXPECT_EQ(fileLines(), (Lines{"AUTSPUST=AUTKONEC", "ZALOHA=BEZDOT", "INFO_ZIP=ANO",
                                  "INIT_DEST_DIR=/mnt/zalohy", "INIT_ROOT_DIR=", "TIMER=900000",
                                  "TEMPADRESAR=/var/tmp", "PREPISOVAT=4", "LEVEL=9", "HESLO=tajne",
                                  "HESLO_ADMIN=admin", "LOG_ADRESAR=", "FULLPATH=NE", "LANGUAGE=EN",
                                  "DODRZ_CAS=ANO"}));
    EXPECT_EQ(state.settings.AutoStartMode, 0);
    EXPECT_EQ(state.settings.OverwriteMode, static_cast<int>(TUZOverwriteMode::ifOlder));
    EXPECT_EQ(view.interval, std::chrono::minutes(15));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"busy", "ready", "page"}));
    // The guard keeps the password as typed until the next start.
    EXPECT_EQ(state.settings.ProfilePassword, " tajne ");
    // Forms and message boxes follow the new language at once.
    EXPECT_EQ(LanguageCode, "EN");
    EXPECT_EQ(ResourceStrings.GetText(10009), "Warning");

    // Read back, the page shows the same choices.
    const ProgramSettings reread = SettingsFile::read(dir.file("Nastaven.txt"), ui);
    EXPECT_EQ(settingsPageValues(reread).overwritePosition, 2);
    EXPECT_EQ(settingsPageValues(reread).languagePosition, 1);
}

TEST_F(SettingsPageTest, BadIntervalLeavesTheFileAndTheStateAlone) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTSKRYT\r\nPLAC_REKLAMA=x\r\n");
    const ProgramSettings before = state.settings;
    SettingsPageValues page = enter();
    page.interval = "40000";
    page.noQuestions = !page.noQuestions;
    const auto result = session.ButtonOkClick(page);
    EXPECT_EQ(result.outcome, Outcome::BadValue);
    EXPECT_EQ(result.field, Field::Interval);
    EXPECT_EQ(readWholeFile(dir.file("Nastaven.txt")), "AUTSPUST=AUTSKRYT\r\nPLAC_REKLAMA=x\r\n");
    EXPECT_EQ(state.settings, before);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Interval zálohování musí být celý počet minut od 1 do 35791.");
    // The page stays open, so the window stays busy until OK or Cancel.
    EXPECT_EQ(view.calls, (std::vector<std::string>{"busy"}));
    session.ButtonZrusNastClick();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"busy", "ready", "page"}));
    EXPECT_EQ(state.settings, before);
}

TEST_F(SettingsPageTest, WriteErrorIsReportedAndTheWindowIsReadyAgain) {
    std::filesystem::remove(dir.file("Nastaven.txt"));
    std::filesystem::create_directory(dir.file("Nastaven.txt"));
    const ProgramSettings before = state.settings;
    SettingsPageValues page = enter();
    page.interval = "5";
    EXPECT_EQ(session.ButtonOkClick(page).outcome, Outcome::WriteFailed);
    EXPECT_EQ(state.settings, before);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"busy", "ready", "page"}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Chyba");
    EXPECT_NE(ui.shown[0].text.find("Nastaven.txt"), std::string::npos) << ui.shown[0].text;
}

TEST_F(SettingsPageTest, SettingsPasswordIsAskedUntilAnsweredOnce) {
    state.AdminPasswordEntered = false;
    state.settings.AdminPassword = "Spravce";
    ui.inputNext("spravce");
    EXPECT_FALSE(session.MenuNastaven1Click());
    ui.inputNext(std::nullopt);
    EXPECT_FALSE(session.MenuNastaven1Click());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, "Nesprávné heslo, nelze editovat nastavení");
    EXPECT_TRUE(view.calls.empty());

    ui.inputNext("Spravce");
    EXPECT_TRUE(session.MenuNastaven1Click());
    session.ButtonZrusNastClick();
    EXPECT_TRUE(session.MenuNastaven1Click());
    EXPECT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(SettingsPageTest, SavedEngineSettingsReachTheRunsWriterAtOnce) {
    FakeVolumeService volumes;
    AutomountNetworkTarget network;
    ArchiveAttributeFake attributes;
    AppRuns appRuns{state, RunPlatform{volumes, network, attributes}};
    state.setRuns(appRuns);
    SettingsPageValues page = enter();
    page.interval = "10";
    page.packLevel = 2;
    page.overwritePosition = 3; // "Nikdy"
    page.tempDir = dir.file("tmp");
    EXPECT_EQ(session.ButtonOkClick(page).outcome, Outcome::Saved);
    EXPECT_EQ(appRuns.ZipEngine().PackLevel(), 2);
    EXPECT_EQ(appRuns.ZipEngine().OverwriteMode(), TUZOverwriteMode::Never);
    EXPECT_EQ(appRuns.ZipEngine().TempPath(), dir.file("tmp"));

    // A value refused leaves the writer as it was.
    page.packLevel = 5;
    page.interval = "x";
    EXPECT_EQ(session.ButtonOkClick(page).outcome, Outcome::BadValue);
    EXPECT_EQ(appRuns.ZipEngine().PackLevel(), 2);
}
