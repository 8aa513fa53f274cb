#include "widgets/menu/TKitPopupMenu.h"
#include "widgets/cursors/KitCursors.h"
#include "widgets/support/WidgetsApplication.h"

#include <QApplication>
#include <QImage>
#include <QStyle>
#include <gtest/gtest.h>

namespace kd {
namespace {

const QColor kMenu(0xF0, 0xF0, 0xF0);
const QColor kHighlight(0x00, 0x00, 0x80);
const QColor kShadow(0x80, 0x80, 0x80);

QImage render(TKitPopupMenu& menu) {
    menu.adjustSize();
    QImage image(menu.size(), QImage::Format_RGB32);
    image.fill(Qt::green);
    menu.render(&image);
    return image;
}

QImage solid(QSize size, QColor color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// Columns of the row whose pixel has the colour.
int countInRow(const QImage& image, int y, QColor color, int from = 0) {
    int count = 0;
    for (int x = from; x < image.width(); ++x)
        count += image.pixelColor(x, y) == color;
    return count;
}

class KitPopupMenu : public ::testing::Test {
protected:
    void SetUp() override { test::ensureApplication(); }
};

TEST_F(KitPopupMenu, OwnerDrawnOnlyWithAStyleOrAnImage) {
    TKitPopupMenu menu;
    QStyle* plain = menu.style();
    EXPECT_FALSE(menu.IsOwnerDrawMenu());
    EXPECT_FALSE(menu.OwnerDraw());

    KitImageList images;
    menu.setImages(&images);
    EXPECT_FALSE(menu.OwnerDraw()); // an empty list draws nothing
    images.Add(solid(QSize(16, 16), Qt::red));
    EXPECT_TRUE(menu.OwnerDraw());
    EXPECT_NE(menu.style(), plain);
    images.Clear();
    EXPECT_FALSE(menu.OwnerDraw());

    menu.setStyle(TKitMenuStyle::msBtnRaised);
    EXPECT_TRUE(menu.OwnerDraw());
    menu.setStyle(TKitMenuStyle::msStandard);
    EXPECT_FALSE(menu.OwnerDraw());
    EXPECT_EQ(menu.style(), plain);
}

TEST_F(KitPopupMenu, ForgetsAnImageListThatGoes) {
    TKitPopupMenu menu;
    auto images = std::make_unique<KitImageList>();
    images->Add(solid(QSize(16, 16), Qt::red));
    menu.setImages(images.get());
    EXPECT_TRUE(menu.OwnerDraw());
    images.reset();
    EXPECT_EQ(menu.Images(), nullptr);
    EXPECT_FALSE(menu.OwnerDraw());
}

TEST_F(KitPopupMenu, MarginBandIsAGradientWithAnEdge) {
    TKitPopupMenu menu;
    menu.setStyle(TKitMenuStyle::msOwnerDraw);
    menu.setLeftMargin(20);
    for (const char* text : {"&Kordyne", "&WWW", "&Konec"})
        menu.addAction(QString::fromUtf8(text));
    const QImage image = render(menu);
    const int frame = menu.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &menu);
    const int top = frame, bottom = menu.height() - frame - 1;
    EXPECT_EQ(image.pixelColor(frame + 2, top), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(frame + 16, bottom), QColor(0, 0, 63));
    EXPECT_EQ(image.pixelColor(frame + 18, top + 5), kShadow);
    EXPECT_EQ(image.pixelColor(frame + 19, bottom), QColor(Qt::white));
    // The items begin right of the band.
    EXPECT_GE(menu.actionGeometry(menu.actions()[0]).left(), frame + 21);
}

TEST_F(KitPopupMenu, ItemBackgroundsFromStateAndOwner) {
    TKitPopupMenu menu;
    menu.setStyle(TKitMenuStyle::msOwnerDraw);
    QAction* first = menu.addAction("First");
    QAction* second = menu.addAction("Second");
    QAction* third = menu.addAction("Third");
    menu.OnGetItemParams = [&](TKitPopupMenu&, QAction* item, TMenuOwnerDrawState, QFont&, TColor&,
                               TColor& color, TPicture&, int&) {
        if (item == third)
            color = ColorFromRGB(Qt::red);
    };
    menu.setActiveAction(second);
    const QImage image = render(menu);
    auto rightEnd = [&](QAction* a) {
        const QRect r = menu.actionGeometry(a);
        return image.pixelColor(r.right() - 1, r.center().y());
    };
    EXPECT_EQ(rightEnd(first), kMenu);
    EXPECT_EQ(rightEnd(second), kHighlight);
    EXPECT_EQ(rightEnd(third), QColor(Qt::red));
}

TEST_F(KitPopupMenu, ButtonStyleFramesTheSelectedItemInsteadOfHighlighting) {
    TKitPopupMenu menu;
    menu.setStyle(TKitMenuStyle::msBtnLowered);
    QAction* item = menu.addAction("Item");
    menu.setActiveAction(item);
    const QImage image = render(menu);
    const QRect r = menu.actionGeometry(item);
    EXPECT_EQ(image.pixelColor(r.center().x(), r.top()), kShadow);
    EXPECT_EQ(image.pixelColor(r.center().x(), r.bottom()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(r.right() - 2, r.center().y()), kMenu);
}

TEST_F(KitPopupMenu, ImagesFromTheListGreyWhenDisabled) {
    TKitPopupMenu menu;
    KitImageList images(QSize(8, 8));
    images.Add(solid(QSize(8, 8), Qt::red));
    menu.setImages(&images);
    QAction* enabled = menu.addAction("On");
    QAction* disabled = menu.addAction("Off");
    QAction* none = menu.addAction("None");
    TKitPopupMenu::setImageIndex(enabled, 0);
    TKitPopupMenu::setImageIndex(disabled, 0);
    TKitPopupMenu::setImageIndex(none, 3); // no such image
    disabled->setEnabled(false);
    const QImage image = render(menu);
    auto redInRow = [&](QAction* a) {
        return countInRow(image, menu.actionGeometry(a).center().y(), Qt::red);
    };
    EXPECT_EQ(redInRow(enabled), 8);
    EXPECT_EQ(redInRow(disabled), 0);
    EXPECT_EQ(redInRow(none), 0);
    // The image is at least 4 pixels shorter than its item.
    EXPECT_GE(menu.actionGeometry(enabled).height(), 12);
}

TEST_F(KitPopupMenu, OwnersImageIndexAndMeasureEventsApply) {
    TKitPopupMenu menu;
    KitImageList images(QSize(8, 8));
    images.Add(solid(QSize(8, 8), Qt::red));
    images.Add(solid(QSize(8, 8), Qt::blue));
    menu.setImages(&images);
    QAction* item = menu.addAction("Item");
    menu.OnGetImageIndex = [](TKitPopupMenu&, QAction*, TMenuOwnerDrawState, int& index) {
        index = 1;
    };
    menu.OnMeasureItem = [](TKitPopupMenu&, QAction*, int&, int& height) { height = 40; };
    const QImage image = render(menu);
    EXPECT_EQ(menu.actionGeometry(item).height(), 40);
    EXPECT_EQ(countInRow(image, menu.actionGeometry(item).center().y(), Qt::blue), 8);
}

TEST_F(KitPopupMenu, GlyphOfAMultiGlyphGraphicFollowsTheState) {
    // Four 6 x 6 glyphs: normal red, disabled grey-blue, selected yellow, checked cyan.
    const QColor colours[] = {Qt::red, QColor(0x40, 0x40, 0xC0), Qt::yellow, Qt::cyan};
    QImage strip(24, 6, QImage::Format_RGB32);
    for (int g = 0; g < 4; ++g)
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                strip.setPixelColor(6 * g + x, y, colours[g]);
    TKitPopupMenu menu;
    menu.setStyle(TKitMenuStyle::msBtnRaised); // no highlight fill over the glyphs
    QAction* normal = menu.addAction("Normal");
    QAction* disabled = menu.addAction("Disabled");
    QAction* checked = menu.addAction("Checked");
    disabled->setEnabled(false);
    checked->setCheckable(true);
    checked->setChecked(true);
    menu.OnGetItemParams = [&](TKitPopupMenu&, QAction*, TMenuOwnerDrawState, QFont&, TColor&,
                               TColor&, TPicture& graphic, int& glyphs) {
        graphic = TPicture(KitBitmap{strip, clNone, false});
        glyphs = 4;
    };
    const QImage image = render(menu);
    auto count = [&](QAction* a, QColor c) {
        return countInRow(image, menu.actionGeometry(a).center().y(), c);
    };
    EXPECT_EQ(count(normal, colours[0]), 6);
    EXPECT_EQ(count(disabled, colours[1]), 6);
    EXPECT_EQ(count(checked, colours[3]), 6);
    EXPECT_EQ(count(normal, colours[1]) + count(normal, colours[2]), 0);
}

TEST_F(KitPopupMenu, SeparatorIsAShadowOverAHighlightLine) {
    TKitPopupMenu menu;
    menu.setStyle(TKitMenuStyle::msOwnerDraw);
    menu.addAction("Above");
    QAction* separator = menu.addSeparator();
    menu.addAction("Below");
    const QImage image = render(menu);
    const QRect r = menu.actionGeometry(separator);
    const int y = r.top() + r.height() / 2;
    EXPECT_EQ(countInRow(image, y - 1, kShadow), r.width());
    EXPECT_EQ(countInRow(image, y, QColor(Qt::white)), r.width());
    EXPECT_GE(r.height(), 9);
}

TEST_F(KitPopupMenu, CheckMarkInItsOwnColumnOrInTheImageColumn) {
    TKitPopupMenu menu;
    menu.setStyle(TKitMenuStyle::msOwnerDraw);
    QAction* checked = menu.addAction("Checked");
    QAction* plain = menu.addAction("Plain");
    checked->setCheckable(true);
    checked->setChecked(true);
    const int checkWidth = menu.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &menu);
    auto markPixels = [&](const QImage& image, QAction* a, int columns) {
        const QRect r = menu.actionGeometry(a);
        int count = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x < r.left() + columns; ++x)
                count += image.pixelColor(x, y) == QColor(Qt::black);
        return count;
    };
    QImage image = render(menu);
    EXPECT_GT(markPixels(image, checked, checkWidth), 0);
    EXPECT_EQ(markPixels(image, plain, checkWidth), 0);

    // Without check-mark column: a dithered image column, the mark inside it.
    menu.setShowCheckMarks(false);
    menu.setMinTextOffset(12);
    image = render(menu);
    const QRect r = menu.actionGeometry(checked);
    EXPECT_GT(markPixels(image, checked, 16), 0);
    EXPECT_GT(countInRow(image, r.top() + 2, kHighlight), 0);
    EXPECT_EQ(countInRow(image, menu.actionGeometry(plain).top() + 2, kHighlight), 0);
}

TEST_F(KitPopupMenu, KitCursorWhileAnItemIsHighlighted) {
    RegisterKitCursors();
    TKitPopupMenu menu;
    QAction* item = menu.addAction("Item");
    menu.setCursor(crKitHand);
    emit menu.hovered(item);
    EXPECT_EQ(menu.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(menu.cursor().hotSpot(), KitCursor(crKitHand).hotSpot());
    emit menu.aboutToHide();
    EXPECT_EQ(menu.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(KitPopupMenu, PopupRemembersThePointAndRaisesOnPopup) {
    TKitPopupMenu menu;
    menu.addAction("Item");
    EXPECT_EQ(menu.PopupPoint(), QPoint(-1, -1));
    int popups = 0;
    menu.OnPopup = [&](TKitPopupMenu&) { ++popups; };
    menu.Popup(100, 120);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu.PopupPoint(), QPoint(100, 120));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

} // namespace
} // namespace kd
