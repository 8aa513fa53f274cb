#include "widgets/buttons/TKitSpeedButton.h"
#include "widgets/buttons/TGlyphCache.h"
#include "widgets/support/MouseInput.h"
#include "widgets/support/WidgetsApplication.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPainter>
#include <gtest/gtest.h>

namespace kd {
namespace {

const QColor kFace(0xC0, 0xC0, 0xC0);
const QColor kShadow(0x80, 0x80, 0x80);
const QColor kLight(Qt::white);
const QColor kFrame(Qt::black);

// A strip of count 16 x 16 squares on magenta, each in its own colour.
QImage strip(int count, const std::vector<QColor>& colors) {
    QImage image(16 * count, 16, QImage::Format_RGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter painter(&image);
    for (int i = 0; i < count; ++i)
        painter.fillRect(16 * i + 2, 2, 12, 12, colors[static_cast<std::size_t>(i)]);
    return image;
}

// Made before the fixtures' widgets.
struct AppReady {
    AppReady() { test::ensureApplication(); }
};

struct ButtonFixture : ::testing::Test, AppReady {
    ButtonFixture() {
        QPalette palette = button.palette();
        palette.setColor(QPalette::Shadow, kFrame);
        button.setPalette(palette);
        button.resize(25, 25);
    }
    QImage shot() { return button.grab().toImage(); }
    TKitSpeedButton button;
};

// The glyph sits at (4, 4) in a 25 x 25 raised button; its square at (6..17).
TEST_F(ButtonFixture, DrawsTheStatesOfASingleImageGlyph) {
    button.setGlyph(strip(1, {Qt::red}));
    QImage up = shot();
    EXPECT_EQ(up.pixelColor(0, 0), kLight);
    EXPECT_EQ(up.pixelColor(24, 24), kFrame);
    EXPECT_EQ(up.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(up.pixelColor(5, 5), kFace); // the magenta key is not drawn

    button.setEnabled(false); // embossed: shadow over a highlight copy
    QImage disabled = shot();
    EXPECT_EQ(disabled.pixelColor(10, 10), kShadow);
    EXPECT_EQ(disabled.pixelColor(18, 18), kLight);
    EXPECT_EQ(disabled.pixelColor(5, 5), kFace);

    button.setEnabled(true);
    button.setFlat(true); // away from the mouse: grey, no frame
    QImage inactive = shot();
    EXPECT_EQ(inactive.pixelColor(0, 0), kFace);
    EXPECT_EQ(inactive.pixelColor(10, 10), QColor(76, 76, 76));
}

TEST_F(ButtonFixture, PressedButtonIsSunkAndAStripGivesEachStateItsImage) {
    button.setGlyph(strip(3, {Qt::red, Qt::green, Qt::blue}));
    ASSERT_EQ(button.NumGlyphs(), 3);
    EXPECT_EQ(shot().pixelColor(6, 6), QColor(Qt::red));
    button.setEnabled(false);
    EXPECT_EQ(shot().pixelColor(6, 6), QColor(Qt::green));
    button.setEnabled(true);
    test::sendMouse(&button, QEvent::MouseButtonPress, {5, 5});
    QImage down = shot();
    EXPECT_EQ(down.pixelColor(0, 0), kFrame);
    EXPECT_EQ(down.pixelColor(24, 24), kLight);
    EXPECT_EQ(down.pixelColor(7, 7), QColor(Qt::blue)); // shifted one pixel
    EXPECT_EQ(down.pixelColor(6, 6), kFace);
}

TEST_F(ButtonFixture, ADownGroupMemberShowsTheCheckeredPattern) {
    button.setGroupIndex(1);
    button.setDown(true);
    QImage exclusive = shot();
    const QColor a = exclusive.pixelColor(12, 12);
    const QColor b = exclusive.pixelColor(13, 12);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == kFace && b == kLight) || (a == kLight && b == kFace));
}

TEST_F(ButtonFixture, GlyphBesideTheCaptionKeepsItsMargin) {
    button.resize(60, 25);
    button.setGlyph(strip(1, {Qt::red}));
    button.setCaption("Ab");
    button.setLayout(TButtonLayout::blGlyphLeft);
    button.setMargin(2);
    button.setSpacing(4);
    QImage left = shot(); // content from (2, 2): glyph at x 4, its square from 6
    EXPECT_EQ(left.pixelColor(6, 10), QColor(Qt::red));
    EXPECT_EQ(left.pixelColor(5, 10), kFace);
    button.setLayout(TButtonLayout::blGlyphRight);
    QImage right = shot(); // glyph at 2 + 56 - 2 - 16 = 40
    EXPECT_EQ(right.pixelColor(42, 10), QColor(Qt::red));
    EXPECT_EQ(right.pixelColor(41, 10), kFace);
    EXPECT_EQ(right.pixelColor(6, 10), kFace);
}

TEST_F(ButtonFixture, DropDownMarkIsCentredAndAGoneMenuLeavesTheButton) {
    auto menu = std::make_unique<TKitPopupMenu>();
    button.setDropDownMenu(menu.get());
    const QColor text = button.palette().color(QPalette::ButtonText);
    QImage marked = shot(); // rows of 7, 5, 3 and 1 from (9, 10)
    for (QPoint p : {QPoint(9, 10), QPoint(15, 10), QPoint(10, 11), QPoint(12, 13)})
        EXPECT_EQ(marked.pixelColor(p), text) << p.x() << "," << p.y();
    EXPECT_EQ(marked.pixelColor(11, 13), kFace);
    menu.reset();
    EXPECT_EQ(button.DropDownMenu(), nullptr);
    EXPECT_EQ(shot().pixelColor(9, 10), kFace);
}

TEST(SpeedButton, ClickClosesItsDialogWithTheModalResultAndDownSurvivesDisabling) {
    test::ensureApplication();
    QDialog dialog;
    auto* ok = new TKitSpeedButton(&dialog);
    ok->setModalResult(QDialog::Accepted);
    dialog.open();
    ok->Click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());

    QWidget parent;
    TKitSpeedButton grouped(&parent);
    grouped.setGroupIndex(2);
    grouped.setDown(true);
    grouped.setEnabled(false);
    EXPECT_EQ(grouped.State(), TButtonState::bsDisabled);
    grouped.setEnabled(true);
    EXPECT_EQ(grouped.State(), TButtonState::bsExclusive);
}

TEST(GlyphCount, FollowsTheStripAndItsLimits) {
    test::ensureApplication();
    TKitButtonGlyph glyph;
    glyph.setGlyph(QImage(48, 16, QImage::Format_RGB32));
    EXPECT_EQ(glyph.NumGlyphs(), 3);
    glyph.setGlyph(QImage(50, 16, QImage::Format_RGB32));
    EXPECT_EQ(glyph.NumGlyphs(), 3);
    glyph.setGlyph(QImage(112, 16, QImage::Format_RGB32));
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    glyph.setNumGlyphs(9);
    EXPECT_EQ(glyph.NumGlyphs(), 5);

    TKitSpeedButton button;
    button.setMargin(-2);
    EXPECT_EQ(button.Margin(), -1);
    button.setMargin(3);
    EXPECT_EQ(button.Margin(), 3);
}

TEST(GlyphCache, IsSharedPerSizeRecyclesSlotsAndGoesWithItsLastUser) {
    test::ensureApplication();
    const QPalette palette = QApplication::palette();
    {
        auto first = std::make_unique<TKitButtonGlyph>();
        TKitButtonGlyph second;
        TKitButtonGlyph other;
        first->setGlyph(strip(1, {Qt::red}));
        second.setGlyph(strip(1, {Qt::blue}));
        other.setGlyph(QImage(8, 8, QImage::Format_RGB32));
        ASSERT_FALSE(first->image(TButtonState::bsUp, palette).isNull());
        ASSERT_FALSE(second.image(TButtonState::bsUp, palette).isNull());
        other.image(TButtonState::bsUp, palette);
        ASSERT_NE(TGlyphCache::Current(), nullptr);
        EXPECT_EQ(TGlyphCache::Current()->ListCount(), 2);
        EXPECT_EQ(TGlyphCache::Current()->GetList({16, 16}).Count(), 2);
        const int freed = first->index(TButtonState::bsUp);

        first.reset();
        second.image(TButtonState::bsDisabled, palette);
        EXPECT_EQ(second.index(TButtonState::bsDisabled), freed);
        // The last image of a size takes its list with it.
        other.setGlyph(QImage());
        EXPECT_EQ(TGlyphCache::Current()->ListCount(), 1);
    }
    EXPECT_EQ(TGlyphCache::Current(), nullptr);
}

struct GroupFixture : ::testing::Test, AppReady {
    GroupFixture() {
        for (TKitSpeedButton* member : {a, b}) {
            member->resize(25, 25);
            member->setGroupIndex(1);
            QObject::connect(member, &TKitSpeedButton::clicked, [this] { ++clicks; });
        }
    }
    QWidget parent;
    TKitSpeedButton* a = new TKitSpeedButton(&parent);
    TKitSpeedButton* b = new TKitSpeedButton(&parent);
    int clicks = 0;
};

TEST_F(GroupFixture, PressingAMemberReleasesTheOtherAndTheDownOneStaysDown) {
    test::clickAt(a, {5, 5}, {5, 5});
    EXPECT_TRUE(a->Down());
    test::clickAt(b, {5, 5}, {5, 5});
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    test::clickAt(b, {5, 5}, {5, 5});
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->State(), TButtonState::bsExclusive);
    EXPECT_EQ(clicks, 3);

    a->setAllowAllUp(true); // goes to the whole group
    test::clickAt(b, {5, 5}, {5, 5});
    EXPECT_FALSE(b->Down());

    TKitSpeedButton free(&parent);
    free.setDown(true);
    EXPECT_FALSE(free.Down());
}

TEST_F(GroupFixture, ReleasingOutsideDoesNotClick) {
    test::clickAt(a, {5, 5}, {40, 40});
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), TButtonState::bsUp);
}

TEST(AutoRepeat, ClicksWhileHeldAndStopsOnRelease) {
    test::ensureApplication();
    TKitSpeedButton button;
    button.resize(25, 25);
    button.setAllowTimer(true);
    button.setInitPause(20);
    button.setRepeatInterval(5);
    int clicks = 0;
    QObject::connect(&button, &TKitSpeedButton::clicked, [&] { ++clicks; });
    test::sendMouse(&button, QEvent::MouseButtonPress, {5, 5});
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 150)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(clicks, 3);
    test::sendMouse(&button, QEvent::MouseButtonRelease, {5, 5});
    const int released = clicks;
    timer.restart();
    while (timer.elapsed() < 60)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(clicks, released);
}

} // namespace
} // namespace kd
