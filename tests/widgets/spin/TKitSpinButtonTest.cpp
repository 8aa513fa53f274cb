#include "widgets/spin/TKitSpinButton.h"

#include "widgets/support/WidgetsApplication.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace kd {
namespace {

using S = TSpinButtonState;

const QColor kFace(0xC0, 0xC0, 0xC0);
const QColor kShadow(0x80, 0x80, 0x80);
const QColor kLight(Qt::white);

void mouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(TKitSpinButtonTest, DiagonalSplitsTheHalves) {
    const QSizeF square(20, 20), wide(40, 20);
    EXPECT_EQ(TKitSpinButton::halfAt({2, 2}, square), S::sbTopDown);
    EXPECT_EQ(TKitSpinButton::halfAt({18, 18}, square), S::sbBottomDown);
    EXPECT_EQ(TKitSpinButton::halfAt({10, 10}, square), S::sbTopDown); // on the line: top
    EXPECT_EQ(TKitSpinButton::halfAt({10, 10.5}, square), S::sbBottomDown);
    EXPECT_EQ(TKitSpinButton::halfAt({19, 2}, square), S::sbBottomDown);
    // The line runs corner to corner on a wide button too, not at 45 degrees.
    EXPECT_EQ(TKitSpinButton::halfAt({10, 12}, wide), S::sbTopDown);
    EXPECT_EQ(TKitSpinButton::halfAt({10, 16}, wide), S::sbBottomDown);
}

TEST(TKitSpinButtonTest, FacesShadeThePressedHalf) {
    test::ensureApplication();
    TKitSpinButton button;
    const QSize size(20, 20);
    const QImage none = button.face(S::sbNotDown, size);
    const QImage top = button.face(S::sbTopDown, size);
    const QImage bottom = button.face(S::sbBottomDown, size);
    EXPECT_EQ(none.pixelColor(0, 0), QColor(Qt::black));  // frame
    EXPECT_EQ(none.pixelColor(10, 9), QColor(Qt::black)); // diagonal
    EXPECT_EQ(none.pixelColor(1, 8), kLight);             // top half raised
    EXPECT_EQ(top.pixelColor(1, 8), kShadow);             // top half sunk
    EXPECT_EQ(none.pixelColor(18, 10), kShadow);          // bottom half raised
    EXPECT_EQ(bottom.pixelColor(18, 10), kLight);         // bottom half sunk
    EXPECT_EQ(none.pixelColor(10, 14), kFace);
    // The up arrow sits in the upper-left quarter, one pixel further when pressed; its
    // white background is transparent.
    EXPECT_EQ(none.pixelColor(6, 3), QColor(Qt::black));
    EXPECT_EQ(none.pixelColor(5, 3), kFace);
    EXPECT_EQ(none.pixelColor(3, 6), QColor(Qt::black));
    EXPECT_EQ(top.pixelColor(7, 4), QColor(Qt::black));
    EXPECT_EQ(none.pixelColor(14, 14), QColor(Qt::black)); // down arrow, lower-right
}

TEST(TKitSpinButtonTest, HoldingAHalfRepeatsAfterADelay) {
    test::ensureApplication();
    QWidget form;
    auto* focus = new QWidget(&form);
    focus->setFocusPolicy(Qt::StrongFocus);
    auto* button = new TKitSpinButton(&form);
    button->setFocusControl(focus);
    int up = 0, down = 0;
    button->setOnTopClick([&] { ++up; });
    button->setOnBottomClick([&] { ++down; });
    form.show();
    QApplication::setActiveWindow(&form);

    mouse(button, QEvent::MouseButtonPress, {17, 17}, Qt::LeftButton);
    EXPECT_EQ(down, 1);
    EXPECT_EQ(up, 0);
    EXPECT_EQ(button->pressed(), S::sbBottomDown);
    EXPECT_TRUE(focus->hasFocus());
    runFor(250);
    EXPECT_EQ(down, 1); // the first repeat waits 400 ms
    runFor(750);
    EXPECT_GE(down, 3);
    EXPECT_LE(down, 8);

    // Dragging out releases the half, coming back into the same half presses it again.
    mouse(button, QEvent::MouseMove, {30, 30}, Qt::LeftButton);
    EXPECT_EQ(button->pressed(), S::sbNotDown);
    mouse(button, QEvent::MouseMove, {17, 16}, Qt::LeftButton);
    EXPECT_EQ(button->pressed(), S::sbBottomDown);
    mouse(button, QEvent::MouseMove, {2, 2}, Qt::LeftButton); // the other half: nothing
    EXPECT_EQ(button->pressed(), S::sbNotDown);

    mouse(button, QEvent::MouseButtonRelease, {2, 2}, Qt::NoButton);
    const int released = down;
    runFor(250);
    EXPECT_EQ(down, released);
    EXPECT_EQ(up, 0);
}

TEST(TKitSpinButtonTest, DisabledButtonIgnoresPresses) {
    test::ensureApplication();
    TKitSpinButton button;
    int clicks = 0;
    button.setOnTopClick([&] { ++clicks; });
    button.setEnabled(false);
    mouse(&button, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
}

} // namespace
} // namespace kd
