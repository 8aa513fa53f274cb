#include "widgets/appevents/TAppEvents.h"
#include "widgets/appevents/KitApplication.h"
#include "widgets/appevents/TAppEventList.h"

#include "widgets/support/WidgetsApplication.h"

#include <QAction>
#include <QEvent>
#include <QEventLoop>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace kd {
namespace {

class AppEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        ASSERT_EQ(TAppEventList::Shared().Count(), 0);
    }
    void TearDown() override {
        QToolTip::hideText();
        Application().OnHint = nullptr;
        Application().OnMessage = nullptr;
        Application().OnException = nullptr;
        Application().ExceptionDisplay = nullptr;
        Application().SetMainWindow(nullptr);
    }
    // A handler that appends its name to the log.
    TNotifyEvent logs(const std::string& name) {
        return [this, name](QObject*) { log += name; };
    }
    std::string log;
};

TEST_F(AppEventsTest, WalksFromTheLastRegisteredAndEndsWithTheSavedHandler) {
    Application().OnHint = logs("saved");
    {
        TAppEvents first, second;
        first.OnHint = logs("1");
        second.OnHint = logs("2");
        Application().OnHint(&Application());
        EXPECT_EQ(log, "21saved");
    }
    // The last instance gone, the slot holds its earlier handler again.
    log.clear();
    Application().OnHint(&Application());
    EXPECT_EQ(log, "saved");
    EXPECT_FALSE(TAppEventList::Shared().Hooked());
}

TEST_F(AppEventsTest, AnUnchainedInstanceEndsTheWalkEvenWithoutAHandler) {
    Application().OnHint = logs("saved");
    TAppEvents first, second;
    first.OnHint = logs("1");
    second.SetChained(false);
    Application().OnHint(&Application());
    EXPECT_EQ(log, "");
    second.OnHint = logs("2");
    Application().OnHint(&Application());
    EXPECT_EQ(log, "2");
}

TEST_F(AppEventsTest, SettingsChangedReachesEveryInstanceAsItsOwnSender) {
    QWidget window;
    Application().SetMainWindow(&window);
    TAppEvents first, second;
    second.SetChained(false);
    QObject* senders[2] = {};
    first.OnSettingsChanged = [&](QObject* s) { senders[0] = s; };
    second.OnSettingsChanged = [&](QObject* s) { senders[1] = s; };
    QEvent change(QEvent::ThemeChange);
    QApplication::sendEvent(&window, &change);
    EXPECT_EQ(senders[0], &first);
    EXPECT_EQ(senders[1], &second);
}

TEST_F(AppEventsTest, HandledEndsTheMessageWalkBeforeTheSavedHandler) {
    bool savedCalled = false;
    Application().OnMessage = [&](QEvent&, bool&) { savedCalled = true; };
    TAppEvents first, second;
    bool firstCalled = false;
    first.OnMessage = [&](QEvent&, bool&) { firstCalled = true; };
    second.OnMessage = [](QEvent&, bool& handled) { handled = true; };
    QEvent event(QEvent::User);
    bool handled = false;
    Application().OnMessage(event, handled);
    EXPECT_TRUE(handled);
    EXPECT_FALSE(firstCalled);
    EXPECT_FALSE(savedCalled);
}

TEST_F(AppEventsTest, AnUnhandledExceptionIsShownExactlyOnce) {
    int shown = 0;
    Application().ExceptionDisplay = [&](const std::exception&) { ++shown; };
    TAppEvents events;
    Application().HandleException(&events, std::runtime_error("boom"));
    EXPECT_EQ(shown, 1);
    std::string seen;
    events.OnException = [&](QObject*, const std::exception& e) { seen = e.what(); };
    Application().HandleException(&events, std::runtime_error("caught"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(seen, "caught");
}

TEST_F(AppEventsTest, InstancesLeaveInAnyOrderAndTwiceRegisteredIsListedOnce) {
    auto first = std::make_unique<TAppEvents>();
    auto second = std::make_unique<TAppEvents>();
    auto third = std::make_unique<TAppEvents>();
    TAppEventList::Shared().Register(second.get());
    EXPECT_EQ(TAppEventList::Shared().Count(), 3);
    first->OnHint = logs("1");
    third->OnHint = logs("3");
    second.reset();
    Application().OnHint(&Application());
    EXPECT_EQ(log, "31");
    first.reset();
    third.reset();
    EXPECT_EQ(TAppEventList::Shared().Count(), 0);
    EXPECT_FALSE(Application().OnHint);
}

TEST_F(AppEventsTest, AHandlerDestroyingAnEarlierInstanceDoesNotReachIt) {
    auto first = std::make_unique<TAppEvents>();
    TAppEvents second;
    first->OnHint = logs("1");
    second.OnHint = [&](QObject*) { first.reset(); };
    Application().OnHint(&Application());
    EXPECT_EQ(log, "");
}

TEST_F(AppEventsTest, MinimiseAndRestoreOfTheMainWindowReachTheInstances) {
    QWidget window;
    Application().SetMainWindow(&window);
    TAppEvents events;
    events.OnMinimize = logs("min ");
    events.OnRestore = logs("restore");
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    window.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(log, "min restore");
}

TEST_F(AppEventsTest, LoadedWritesEverySettingIntoTheApplication) {
    TAppEvents events;
    KitApplicationSettings changed;
    changed.HintPause = 1;
    changed.ShowHint = false;
    Application().SetSettings(changed);
    Application().SetMouseDragThreshold(40);
    events.Loaded();
    EXPECT_EQ(events.HintPause(), 500);
    EXPECT_TRUE(events.ShowHint());
    EXPECT_EQ(events.HintColor(), 0x80000018u);
    EXPECT_EQ(events.MouseDragThreshold(), 5);
    events.SetHintHidePause(900);
    EXPECT_EQ(Application().Settings().HintHidePause, 900);
}

// A window with a field that has the focus, and an action with a shortcut.
struct FieldWindow {
    FieldWindow() {
        auto* column = new QVBoxLayout(&window);
        field = new QLineEdit(&window);
        column->addWidget(field);
        action = new QAction("Kill", &window);
        action->setShortcut(QKeySequence("Ctrl+K"));
        window.addAction(action);
        window.show();
        QApplication::setActiveWindow(&window);
        field->setFocus();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }
    QWidget window;
    QLineEdit* field;
    QAction* action;
};

TEST_F(AppEventsTest, StatusTipsToolTipsAndHelpRequestsOfAnyWindowReachTheInstances) {
    FieldWindow w;
    w.field->setStatusTip("Počet vytvářených verzí záloh");
    w.field->setToolTip("Verze");
    w.field->setWhatsThis("Nápověda");
    TAppEvents events;
    std::vector<QString> hints;
    events.OnHint = [&](QObject* sender) {
        EXPECT_EQ(sender, &Application());
        hints.push_back(Application().Hint());
    };
    // The tip goes on to the field's parents as well: one change, one event.
    QStatusTipEvent entered(w.field->statusTip());
    QApplication::sendEvent(w.field, &entered);
    QStatusTipEvent left("");
    QApplication::sendEvent(w.field, &left);
    EXPECT_EQ(hints, (std::vector<QString>{w.field->statusTip(), ""}));

    QWidget* control = nullptr;
    bool canShow = true;
    events.OnShowHint = [&](QString& hint, bool& show, THintInfo& info) {
        control = info.HintControl;
        hint = "Počet verzí";
        show = canShow;
    };
    const QPoint at = w.field->mapToGlobal(QPoint(2, 2));
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), at);
    QApplication::sendEvent(w.field, &tip);
    EXPECT_EQ(control, w.field);
    EXPECT_EQ(QToolTip::text().toStdString(), "Počet verzí");
    canShow = false; // the field's own tip does not show either
    EXPECT_TRUE(QApplication::sendEvent(w.field, &tip));
    EXPECT_NE(QToolTip::text().toStdString(), "Verze");
    control = nullptr;
    QHelpEvent noTip(QEvent::ToolTip, QPoint(2, 2), at);
    QApplication::sendEvent(&w.window, &noTip); // the window has no tip of its own
    EXPECT_EQ(control, nullptr);

    int helps = 0;
    events.OnHelp = [&](quint16, int, bool& callHelp) {
        ++helps;
        callHelp = false;
        return true;
    };
    QHelpEvent help(QEvent::WhatsThis, QPoint(2, 2), at);
    EXPECT_TRUE(QApplication::sendEvent(w.field, &help)); // taken: Qt shows no help
    EXPECT_EQ(helps, 1);
}

TEST_F(AppEventsTest, KeysTakenAsShortcutsOrMessagesReachNeitherQtsShortcutsNorTheWidgets) {
    FieldWindow w;
    TAppEvents events;
    std::vector<QAction*> executed;
    events.OnActionExecute = [&](QAction* action, bool&) { executed.push_back(action); };
    w.key(Qt::Key_A);
    w.key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(w.field->text().toStdString(), "a");
    EXPECT_EQ(executed, std::vector<QAction*>{w.action});

    std::vector<int> offered;
    events.OnShortCut = [&](QKeyEvent& key, bool& handled) {
        offered.push_back(key.key());
        handled = key.key() != Qt::Key_C;
    };
    w.key(Qt::Key_B);
    w.key(Qt::Key_K, Qt::ControlModifier);
    w.key(Qt::Key_C);
    EXPECT_EQ(w.field->text().toStdString(), "ac");
    EXPECT_EQ(executed.size(), 1u);
    EXPECT_EQ(offered, (std::vector<int>{Qt::Key_B, Qt::Key_Control, Qt::Key_K, Qt::Key_C}));

    events.OnShortCut = nullptr;
    int messages = 0;
    events.OnMessage = [&](QEvent& message, bool& handled) {
        if (message.type() == QEvent::KeyPress) {
            ++messages;
            handled = static_cast<QKeyEvent&>(message).key() == Qt::Key_D;
        }
    };
    w.key(Qt::Key_D);
    w.key(Qt::Key_E);
    EXPECT_EQ(w.field->text().toStdString(), "ace");
    EXPECT_EQ(messages, 2);
}

TEST_F(AppEventsTest, TheLoopAboutToWaitRaisesIdleAndOnceDoneTheActionUpdates) {
    FieldWindow w;
    TAppEvents events;
    QEventLoop loop;
    std::vector<std::string> calls;
    events.OnIdle = [&](QObject* sender, bool& done) {
        EXPECT_EQ(sender, &Application());
        calls.push_back("idle");
        if (calls.size() == 1)
            done = false; // raised again at once, with nothing else to do
        else
            loop.quit();
    };
    events.OnActionUpdate = [&](QAction* action, bool&) {
        if (action == w.action)
            calls.push_back("update");
    };
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // only when idle never comes
    loop.exec();
    EXPECT_EQ(calls, (std::vector<std::string>{"idle", "idle", "update"}));
}

} // namespace
} // namespace kd
