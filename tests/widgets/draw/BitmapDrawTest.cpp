#include "widgets/draw/Emboss.h"
#include "widgets/draw/MaskedDraw.h"
#include "widgets/draw/TPicture.h"
#include "widgets/support/WidgetsApplication.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace kd {
namespace {

const QColor kCanvas(0, 255, 0);

QImage filled(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A 4 x 2 bitmap: magenta background with a red left column and a blue top-right pixel.
QImage sample() {
    QImage image = filled(4, 2, Qt::magenta);
    image.setPixelColor(0, 0, Qt::red);
    image.setPixelColor(0, 1, Qt::red);
    image.setPixelColor(3, 0, Qt::blue);
    return image;
}

TEST(MaskedDraw, TransparentColourLeavesTheCanvas) {
    QImage target = filled(6, 4, kCanvas);
    {
        QPainter painter(&target);
        DrawBitmapMasked(painter, 1, 1, sample(), ColorFromRGB(Qt::magenta));
    }
    EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(4, 1), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(2, 1), kCanvas);
    EXPECT_EQ(target.pixelColor(0, 0), kCanvas);
}

TEST(MaskedDraw, DefaultColourIsTheBottomLeftPixelAndNoneDrawsAll) {
    QImage target = filled(4, 2, kCanvas);
    {
        QPainter painter(&target);
        DrawBitmapMasked(painter, 0, 0, sample(), clDefault); // red is transparent
    }
    EXPECT_EQ(target.pixelColor(0, 0), kCanvas);
    EXPECT_EQ(target.pixelColor(1, 0), QColor(Qt::magenta));
    {
        QPainter painter(&target);
        DrawBitmapMasked(painter, 0, 0, sample(), clNone);
    }
    EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::red));
}

TEST(MaskedDraw, StretchesThePartAndItsMask) {
    QImage target = filled(8, 4, kCanvas);
    {
        QPainter painter(&target);
        // The right half (2 x 2) doubled to 4 x 4.
        StretchBitmapMasked(painter, QRect(0, 0, 4, 4), QRect(2, 0, 2, 2), sample(),
                            ColorFromRGB(Qt::magenta));
    }
    EXPECT_EQ(target.pixelColor(0, 0), kCanvas);
    EXPECT_EQ(target.pixelColor(2, 0), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(3, 1), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(3, 2), kCanvas);
    EXPECT_EQ(target.pixelColor(5, 0), kCanvas);
}

TEST(MaskedDraw, MonochromeBitmapIsTransparentWhereWhite) {
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColorTable({QColor(Qt::white).rgb(), QColor(Qt::black).rgb()});
    mono.setPixel(0, 0, 0);
    mono.setPixel(1, 0, 1);
    QImage target = filled(2, 1, kCanvas);
    {
        QPainter painter(&target);
        DrawBitmapMasked(painter, 0, 0, mono, ColorFromRGB(Qt::black));
    }
    EXPECT_EQ(target.pixelColor(0, 0), kCanvas);
    EXPECT_EQ(target.pixelColor(1, 0), QColor(Qt::black));
}

TEST(Emboss, ShapeInShadowOverHighlightOnBackColour) {
    QImage source = filled(4, 4, Qt::white);
    source.setPixelColor(1, 1, Qt::red);
    const QColor back(0xC0, 0xC0, 0xC0), shadow(0x80, 0x80, 0x80), light(Qt::yellow);
    const QImage result = CreateEmbossedBitmap(source, Qt::white, back, true, shadow, light);
    EXPECT_EQ(result.pixelColor(1, 1), shadow);
    EXPECT_EQ(result.pixelColor(2, 2), light);
    EXPECT_EQ(result.pixelColor(0, 0), back);
    EXPECT_EQ(result.pixelColor(3, 3), back);
    const QImage flat = CreateEmbossedBitmap(source, Qt::white, back, false, shadow, light);
    EXPECT_EQ(flat.pixelColor(2, 2), back);
}

TEST(Emboss, GrayedImageOfAListPaintsOpaquePixelsOnly) {
    test::ensureApplication();
    KitImageList images(QSize(2, 2));
    QImage icon(2, 2, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixelColor(0, 0, Qt::red);
    images.Add(icon);
    QImage target = filled(4, 4, kCanvas);
    {
        QPainter painter(&target);
        DrawImageGrayed(images, painter, 1, 1, 0, Qt::black, Qt::white, true);
        DrawImageGrayed(images, painter, 0, 0, 5, Qt::black, Qt::white, true); // no image
    }
    EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(2, 1), kCanvas);
    EXPECT_EQ(target.pixelColor(0, 0), kCanvas);
}

TEST(BitmapCell, CellsAreNumberedRowByRow) {
    QImage grid = filled(6, 4, Qt::black);
    grid.setPixelColor(2, 2, Qt::red); // column 1, row 1 of 3 x 2 cells of 2 x 2
    TPicture picture(KitBitmap{grid, ColorFromRGB(Qt::black), true});
    KitBitmap cell;
    CopyBitmapCell(picture, cell, 3, 2, 4);
    ASSERT_EQ(cell.image.size(), QSize(2, 2));
    EXPECT_EQ(cell.image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_TRUE(cell.Transparent);
    // Grid sizes below 1 and negative indexes count as 1 and 0.
    CopyBitmapCell(picture, cell, 0, -3, -1);
    EXPECT_EQ(cell.image.size(), QSize(6, 4));
}

} // namespace
} // namespace kd
