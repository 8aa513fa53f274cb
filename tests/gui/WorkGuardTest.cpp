// While a run works the engine drains the event queue, so every path the user has to
// start, change or delete work reaches its handler inside the run. None may act.
#include "MainWindowFixture.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolBar>
#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

// Runs that show the window's states as the real ones do: busy while they work, then
// ready before their closing box. The test acts as the user at both moments.
class ProbingRuns : public MainWindowRuns {
public:
    RunResult RunBackup(TObjektZal& profile, int) override {
        started.push_back(profile.Name);
        view->ShowBusy();
        whileWorking();
        view->ShowReady();
        beforeClosingBox();
        return RunResult::Complete;
    }
    RunResult RestoreBackup(int) override { return RunResult::Complete; }

    MainWindowView* view = nullptr;
    std::function<void()> whileWorking, beforeClosingBox;
    std::vector<std::string> started;
};

// A host that lets the test act as the user when the engine drains the queue or a
// box shows.
class ActingUiHost : public WindowUiHost {
public:
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override {
        if (onBox)
            onBox(text);
        return WindowUiHost::messageBox(text, caption, buttons, icon);
    }
    void processEvents() override {
        if (onPump)
            std::exchange(onPump, nullptr)();
    }
    std::function<void(const std::string&)> onBox;
    std::function<void()> onPump; // once
};

class WorkGuardTest : public MainWindowFixture {
protected:
    WorkGuardTest() {
        host = &acting;
        countRuns = false;
        dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n"); // the scheduler starts without asking
        dir.write("Kordyne.html", "<p>help</p>");
        dir.write("Mzdy.log", "log\r\n");
        dir.write("Protokol.txt", "log\r\n");
    }
    // The window goes before the host and the runs it uses.
    ~WorkGuardTest() override { window.reset(); }
    void openProbed() {
        open();
        probe.view = window.get();
        window->setRuns(probe);
        window->listPage().focusRow(0);
    }
    bool cancellable() { return widget<QPushButton>("btn_Cancel")->isEnabled(); }

    // Every way to start, change or delete work, tried with nothing allowed to act.
    void tryEverything() {
        QTreeView* list = window->listPage().ListSeznamZal();
        for (QAction* item : list->actions()) { // the list's popup menu and the tool bar
            EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
            item->trigger();
        }
        for (const char* menu : {"MenuProfil", "MenuZaloha", "MenuServis", "MenuTrideni"})
            EXPECT_FALSE(widget<QMenu>(menu)->menuAction()->isEnabled()) << menu;
        // An event queued before the controls were disabled reaches the handler itself.
        using Handler = void (TFormZalohovani::*)();
        for (Handler handler :
             {&TFormZalohovani::ActionNovyProfilExecute, &TFormZalohovani::ActionOpravProfiluExecute,
              &TFormZalohovani::ActionSmazatProfilExecute,
              &TFormZalohovani::ActionProvestZalohuExecute,
              &TFormZalohovani::ActionInformaceOZalohovaniExecute,
              &TFormZalohovani::ActionObnovitDataExecute,
              &TFormZalohovani::ActionProhlednoutLogExecute, &TFormZalohovani::MenuNastaven1Click,
              &TFormZalohovani::MenuServisPridatpostartu1Click, &TFormZalohovani::MenuPopiClick,
              &TFormZalohovani::BitBtnOkClick, &TFormZalohovani::ButtonOkClick,
              &TFormZalohovani::Timer1Timer}) // the scheduler's tick, with a profile due
            (window.get()->*handler)();
        for (int key : {Qt::Key_Delete, Qt::Key_Return}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(list, &press);
        }
        emit list->doubleClicked(list->model()->index(0, 0));

        EXPECT_EQ(probe.started.size(), 1u);
        EXPECT_TRUE(acting.shown.empty()) << acting.shown.front().text;
        EXPECT_TRUE(acting.prompts.empty());
        EXPECT_TRUE(window->profilePageActive());
        EXPECT_EQ(names(), (std::vector<std::string>{"Mzdy", "Sklad"}));
        EXPECT_FALSE(action("MenuServisPridatpostartu1")->isChecked());
        ++tries;
    }

    ActingUiHost acting;
    ProbingRuns probe;
    int tries = 0;
};

} // namespace

TEST_F(WorkGuardTest, NothingStartsChangesOrDeletesWorkWhileARunWorks) {
    writeProfile("Mzdy");
    writeDueProfile("Sklad");
    openProbed();
    clock.advance(std::chrono::minutes(5)); // the first scheduler check is due
    acting.answerNext(MsgAnswer::Yes);      // a delete that got through would go on
    // The editor holds the busy state, with nothing to cancel.
    action("ActionNovyProfil")->trigger();
    EXPECT_FALSE(cancellable());
    widget<QPushButton>("BitBtnZrus")->click();

    probe.whileWorking = [&] {
        EXPECT_TRUE(cancellable());
        tryEverything();
        // The global log a run showed, left while the run works, leaves it busy.
        window->showProtocolPage();
        widget<QPushButton>("BitBtnOkProtokol")->click();
    };
    // The run has shown the ready state but not ended: only its closing box is left.
    probe.beforeClosingBox = [&] {
        EXPECT_FALSE(cancellable());
        tryEverything();
    };
    action("ActionProvestZalohu")->trigger();

    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(action("ActionSmazatProfil")->isEnabled());
    EXPECT_TRUE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
    EXPECT_FALSE(cancellable());
}

TEST_F(WorkGuardTest, QuittingDuringASchedulerPassWaitsForItsQuestion) {
    writeDueProfile("Sklad");
    dir.write("Nastaven.txt", ""); // the scheduler asks before each run
    openProbed();
    clock.advance(std::chrono::minutes(5));
    acting.onBox = [&](const std::string&) { window->close(); };
    window->Timer1Timer();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(acting.shown.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
}

// The real run over the window's engine: its draining of the queue reaches the list's
// popup menu, whose delete would free the profile the run is backing up.
TEST_F(WorkGuardTest, TheListMenuCannotDeleteTheProfileARealBackupUses) {
    TObjektZal profile;
    profile.Name = "Mzdy";
    profile.SourceDir = dir.file("data/");
    profile.TargetDir = dir.file("backup/");
    profile.Masks = "*.*";
    SaveProfile(profile, dir.path());
    for (int i = 0; i < 20; ++i)
        dir.write("data/f" + std::to_string(i) + ".txt", std::string(5000, 'a' + i % 26));
    std::filesystem::create_directories(dir.file("backup"));
    open();
    window->listPage().focusRow(0);
    bool reached = false;
    acting.onPump = [&] {
        reached = true;
        for (QAction* item : window->listPage().ListSeznamZal()->actions()) {
            acting.answerNext(MsgAnswer::Yes);
            item->trigger();
        }
    };
    action("ActionProvestZalohu")->trigger();
    EXPECT_TRUE(reached);
    EXPECT_EQ(names(), (std::vector<std::string>{"Mzdy"}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("backup/Mzdy.zip")));
}
