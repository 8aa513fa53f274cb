#include "widgets/tray/TKitTrayIcon.h"
#include "widgets/menu/TKitPopupMenu.h"
#include "widgets/tray/DrawnTrayIcons.h"

#include "widgets/support/FakeTrayArea.h"
#include "widgets/support/WidgetsApplication.h"

#include <QAction>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kd {
namespace {

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto area = std::make_unique<test::FakeTrayArea>(record);
        fake = area.get();
        tray = std::make_unique<TKitTrayIcon>(std::move(area), nullptr);
        tray->SetIcon(still);
        for (const QIcon& frame : frames)
            tray->Icons().Add(frame);
        tray->Loaded();
    }
    // Records every event as a short word.
    void logEvents() {
        tray->OnClick = [this](QObject*, Qt::MouseButton b, TrayShiftState, int, int) {
            log += b == Qt::RightButton ? "click-r " : "click-l ";
        };
        tray->OnDblClick = [this](QObject*) { log += "dbl "; };
        tray->OnMouseDown = [this](QObject*, Qt::MouseButton, TrayShiftState s, int x, int y) {
            log += s.Double ? "down-double " : "down ";
            at = QPoint(x, y);
        };
        tray->OnMouseUp = [this](QObject*, Qt::MouseButton, TrayShiftState, int, int) {
            log += "up ";
        };
    }

    // The icons below need the application.
    bool application = (test::ensureApplication(), true);
    QIcon still = DrawTrayIcon();
    std::vector<QIcon> frames = DrawTrayFrames(3);
    test::FakeTrayRecord record;
    test::FakeTrayArea* fake = nullptr;
    std::unique_ptr<TKitTrayIcon> tray;
    std::string log;
    QPoint at;
};

TEST_F(TrayIconTest, AnimationCyclesTheFramesAndStoppingShowsTheStillIcon) {
    ASSERT_TRUE(record.present);
    record.icons.clear();
    tray->SetAnimated(true);
    for (int step = 0; step < 4; ++step)
        tray->AdvanceFrame();
    tray->SetAnimated(false);
    const std::vector<qint64> expected = {frames[0].cacheKey(), frames[1].cacheKey(),
                                          frames[2].cacheKey(), frames[0].cacheKey(),
                                          frames[1].cacheKey(), still.cacheKey()};
    EXPECT_EQ(record.icons, expected);
}

TEST_F(TrayIconTest, TheGuiThreadsTimerDrivesTheAnimationOnlyWhileShown) {
    tray->SetInterval(5);
    tray->SetHint("Pracuji...");
    tray->SetAnimated(true);
    record.icons.clear();
    QElapsedTimer clock;
    clock.start();
    while (record.icons.size() < 4 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_GE(record.icons.size(), 4u);
    EXPECT_EQ(record.icons[0], frames[1].cacheKey());
    EXPECT_EQ(record.icons[1], frames[2].cacheKey());
    EXPECT_EQ(record.tips.back(), "Pracuji...");

    tray->SetActive(false);
    record.icons.clear();
    clock.restart();
    while (clock.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(record.icons.empty());
    EXPECT_TRUE(tray->Animated());
}

TEST_F(TrayIconTest, AnimationNeedsFramesAndEmptyingThemStopsIt) {
    tray->Icons().Clear();
    tray->SetAnimated(true);
    EXPECT_FALSE(tray->Animated());
    tray->Icons().Add(frames[0]);
    tray->SetAnimated(true);
    ASSERT_TRUE(tray->Animated());
    tray->Icons().Clear();
    EXPECT_FALSE(tray->Animated());
    EXPECT_EQ(record.icons.back(), still.cacheKey());
}

TEST_F(TrayIconTest, TheTipIsTheShortHintCutTo63Characters) {
    tray->SetHint("Záloha|long help text");
    EXPECT_EQ(record.tips.back(), "Záloha");
    tray->SetHint(QString(70, QLatin1Char('x')));
    EXPECT_EQ(record.tips.back(), QString(63, QLatin1Char('x')));
}

TEST_F(TrayIconTest, RightClickOpensTheMenuAtThePointerInsteadOfOnClick) {
    logEvents();
    fake->Notify(TrayMouse::RightDown);
    fake->Notify(TrayMouse::RightUp);
    EXPECT_EQ(log, "down click-r up ");

    TKitPopupMenu menu;
    menu.addAction("&Konec");
    tray->SetPopupMenu(&menu);
    log.clear();
    fake->Notify(TrayMouse::RightDown);
    fake->Notify(TrayMouse::RightUp);
    EXPECT_EQ(log, "down up ");
    EXPECT_EQ(menu.PopupPoint(), QPoint(100, 200));
    menu.close();
}

TEST_F(TrayIconTest, DoubleClickRunsTheEnabledDefaultItemElseOnDblClick) {
    logEvents();
    TKitPopupMenu menu;
    QAction* item = menu.addAction("&Kordyne");
    int runs = 0;
    QObject::connect(item, &QAction::triggered, [&runs] { ++runs; });
    tray->SetPopupMenu(&menu);
    fake->Notify(TrayMouse::LeftDouble);
    EXPECT_EQ(log, "dbl down-double ");
    menu.setDefaultAction(item);
    item->setEnabled(false);
    log.clear();
    fake->Notify(TrayMouse::LeftDouble);
    EXPECT_EQ(log, "dbl down-double ");
    item->setEnabled(true);
    log.clear();
    fake->Notify(TrayMouse::LeftDouble);
    EXPECT_EQ(log, "down-double ");
    EXPECT_EQ(runs, 1);
}

TEST_F(TrayIconTest, AReleaseWithoutAPressIsNoClickAndDisabledFiresNothing) {
    logEvents();
    fake->Notify(TrayMouse::LeftUp);
    EXPECT_EQ(log, "up ");
    log.clear();
    fake->Notify(TrayMouse::LeftDown);
    fake->Notify(TrayMouse::LeftUp);
    EXPECT_EQ(log, "down click-l up ");
    EXPECT_EQ(at, QPoint(100, 200));
    tray->SetEnabled(false);
    log.clear();
    fake->Notify(TrayMouse::LeftDown);
    fake->Notify(TrayMouse::LeftUp);
    EXPECT_EQ(log, "");
}

TEST_F(TrayIconTest, WithoutANotificationAreaTheIconIsNotShown) {
    record.available = false;
    tray->SetActive(false);
    tray->SetActive(true);
    EXPECT_FALSE(tray->Shown());
}

TEST_F(TrayIconTest, DestroyingWhileAnimatedRemovesTheIcon) {
    tray->SetAnimated(true);
    tray.reset();
    EXPECT_FALSE(record.present);
}

} // namespace
} // namespace kd
