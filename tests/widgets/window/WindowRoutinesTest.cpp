#include "widgets/window/WindowRoutines.h"
#include "widgets/draw/ShortenText.h"
#include "widgets/support/WidgetsApplication.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(WindowRoutines, FitRectMovesOntoTheScreenLeftEdgeWinning) {
    const QSize screen(800, 600);
    QRect rect(700, 550, 200, 100);
    FitRectToScreen(rect, screen);
    EXPECT_EQ(rect, QRect(600, 500, 200, 100));
    rect = QRect(-30, -5, 100, 100);
    FitRectToScreen(rect, screen);
    EXPECT_EQ(rect.topLeft(), QPoint(0, 0));
    rect = QRect(100, 100, 1000, 700); // larger than the screen
    FitRectToScreen(rect, screen);
    EXPECT_EQ(rect.topLeft(), QPoint(0, 0));
    EXPECT_EQ(rect.size(), QSize(1000, 700));
}

TEST(WindowRoutines, CentringTruncatesAndKeepsAWideWindowAtZero) {
    test::ensureApplication();
    QWidget window;
    window.setGeometry(0, 0, 301, 101);
    CenterWindowOnScreen(&window, QSize(800, 600));
    EXPECT_EQ(window.pos(), QPoint(249, 249));
    window.resize(900, 100);
    CenterWindowOnScreen(&window, QSize(800, 600));
    EXPECT_EQ(window.pos().x(), 0);
    EXPECT_EQ(window.size(), QSize(900, 100));
}

TEST(WindowRoutines, DiscardDropsQueuedEventsButNeverAQuit) {
    test::ensureApplication();
    class Counter : public QObject {
    public:
        int updates = 0, quits = 0;
        bool event(QEvent* e) override {
            updates += e->type() == QEvent::UpdateRequest;
            quits += e->type() == QEvent::Quit;
            return true;
        }
    } counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::UpdateRequest));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::Quit));
    DiscardPendingMessage(&counter, QEvent::UpdateRequest);
    DiscardPendingMessage(&counter, QEvent::Quit);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(counter.updates, 0);
    EXPECT_EQ(counter.quits, 1);
}

TEST(WindowRoutines, BringToFrontLeavesADisabledWindowAlone) {
    test::ensureApplication();
    QWidget window;
    window.show();
    window.showMinimized();
    window.setEnabled(false);
    BringWindowToFront(&window, true);
    EXPECT_TRUE(window.isMinimized());
    window.setEnabled(true);
    BringWindowToFront(&window, true);
    EXPECT_FALSE(window.isMinimized());
}

// Each character is 10 pixels wide.
int tenEach(const QString& text) {
    return 10 * static_cast<int>(text.size());
}

TEST(ShortenText, DropsCharactersForTheEllipsis) {
    EXPECT_EQ(ShortenTextToWidth("abcdef", tenEach, 60), "abcdef");
    EXPECT_EQ(ShortenTextToWidth("abcdefgh", tenEach, 60), "abc...");
    int rounds = 0;
    const QString none = ShortenTextToWidth(
        "abcd", [&](const QString& s) { return ++rounds, tenEach(s); }, 5);
    EXPECT_EQ(none, "...");
    EXPECT_EQ(rounds, 4); // measured before each of its four rounds, then given up
}

} // namespace
} // namespace kd
