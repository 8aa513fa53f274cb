#include "widgets/appevents/TAppEvents.h"
#include "widgets/appevents/KitApplication.h"
#include "widgets/appevents/TAppEventList.h"

#include "widgets/support/WidgetsApplication.h"

#include <QEvent>
#include <QWidget>
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

} // namespace
} // namespace kd
