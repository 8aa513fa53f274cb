#include "ChildProcess.h"
#include "MainWindowFixture.h"
#include "ProgramCopy.h"
#include "platform/AtomicFile.h"
#include "widgets/buttons/TKitSpeedButton.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

class MainWindowTest : public MainWindowFixture {};

} // namespace

TEST_F(MainWindowTest, FirstActivationWithABrokenProfileStillStartsTheTimers) {
    writeProfile("Mzdy");
    dir.write("x.y.lus", "popis\n"); // names the profile "x", which has no file
    open();
    EXPECT_EQ(names(), (std::vector<std::string>{"Mzdy"}));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Chyba");
    EXPECT_TRUE(widget<QTimer>("Timer1")->isActive());
    EXPECT_TRUE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
    EXPECT_FALSE(widget<QPushButton>("btn_Cancel")->isEnabled());
    EXPECT_FALSE(window->terminateRequested());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(widget<QLabel>("Version")->text().left(17).toStdString(), "Verze:1.00.00.00 ");
}

TEST_F(MainWindowTest, RunSwitchBacksUpTheNamedProfileAndEndsTheProgram) {
    writeProfile("Mzdy");
    writeProfile("Sklad");
    open({"A", "sKLAD"});
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Sklad"}));
    EXPECT_TRUE(window->terminateRequested());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainWindowTest, StartedWithTheSystemAndSetToEndTheProgramEnds) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTKONEC\r\n");
    const ProgramCopy program(dir.path());
    ChildProcess process(program.path(), {program.path(), "1"},
                         {"XDG_CONFIG_HOME=" + config.path(), "QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(process.waitForExit(), 0);
}

TEST_F(MainWindowTest, TimerTickReachesTheSchedulerWhichSetsTheInterval) {
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\nTIMER=240000\r\n");
    writeDueProfile("Mzdy");
    open();
    auto* timer = widget<QTimer>("Timer1");
    window->Timer1Timer(); // before the first check time
    EXPECT_TRUE(runs.backups.empty());
    EXPECT_EQ(timer->interval(), 240000);

    clock.advance(std::chrono::minutes(3));
    window->Timer1Timer();
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Mzdy"}));
    EXPECT_TRUE(widget<QToolBar>("ToolBarBrowse")->isEnabled()); // ready again
}

TEST_F(MainWindowTest, StartedWithTheSystemAndSetToEndRunsOnePassAndEnds) {
    dir.write("Nastaven.txt", "AUTSPUST=AUTKONEC\r\nZALOHA=BEZDOT\r\n");
    writeDueProfile("Mzdy");
    open({"1"});
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Mzdy"}));
    EXPECT_TRUE(window->terminateRequested());
}

TEST_F(MainWindowTest, ListSortsAsTextMarksPausedRowsAndKeepsAProfileAnsweredNo) {
    writeProfile("beta", 9);
    writeProfile("Alfa", 10, true);
    writeProfile("gama", 2);
    open();
    EXPECT_EQ(names(), (std::vector<std::string>{"Alfa", "beta", "gama"}));
    window->listPage().ListSeznamZal1ColumnClick(5); // "Počet indexů"
    EXPECT_EQ(names(), (std::vector<std::string>{"Alfa", "gama", "beta"}));

    const QModelIndex paused = listModel().index(0, 3);
    EXPECT_EQ(paused.data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_TRUE(paused.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(listModel().index(1, 0).data(Qt::ForegroundRole).isValid());
    // The view-style buttons carry glyphs, not numbers.
    auto* large = window->findChild<TKitSpeedButton*>("SpeedButton2");
    ASSERT_NE(large, nullptr);
    EXPECT_TRUE(large->Caption().isEmpty());
    EXPECT_EQ(large->Glyph().size(), QSize(16, 16));
    window->findChild<TKitSpeedButton*>("SpeedButton3")->Click();
    EXPECT_EQ(window->listPage().viewStyle(), ProfileListPage::List);
    large->Click();
    EXPECT_EQ(window->listPage().viewStyle(), ProfileListPage::LargeIcons);
    EXPECT_FALSE(paused.data(Qt::ForegroundRole).isValid());

    // Delete under the profile password: a wrong answer refuses, then No keeps it.
    window->state().settings.ProfilePassword = "heslo";
    window->listPage().focusRow(2);
    ui.inputNext("spatne");
    action("ActionSmazatProfil")->trigger();
    ui.inputNext("heslo");
    ui.answerNext(MsgAnswer::No);
    action("ActionSmazatProfil")->trigger();
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "Nesprávné heslo, nelze upravovat profily");
    EXPECT_EQ(ui.shown[1].text, "Opravdu chcete smazat nastavení \"beta\"");
    EXPECT_EQ(names(), (std::vector<std::string>{"Alfa", "gama", "beta"}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("beta.lus")));

    // Once answered right, the password is not asked again.
    ui.answerNext(MsgAnswer::Yes);
    action("ActionSmazatProfil")->trigger();
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(names(), (std::vector<std::string>{"Alfa", "gama"}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("beta.lus")));

    // The run action starts every selected profile.
    window->listPage().focusRow(0);
    action("ActionProvestZalohu")->trigger();
    EXPECT_EQ(runs.backups, (std::vector<std::string>{"Alfa"}));
}

TEST_F(MainWindowTest, StartWithTheSystemCheckMarkFollowsTheStore) {
    RegistryStore store("kordyne", config.path());
    store.writeString(RegistryStore::RunKey, "Kordyne", dir.file("kordyne") + " 1");
    open();
    QAction* item = action("MenuServisPridatpostartu1");
    EXPECT_TRUE(item->isChecked());

    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(std::filesystem::exists(store.autostartPath()));

    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(store.readString(RegistryStore::RunKey, "KORDYNE"), dir.file("kordyne") + " 1");
    EXPECT_NE(readWholeFile(store.autostartPath()).find("Exec=" + dir.file("kordyne") + " 1\n"),
              std::string::npos);
}
