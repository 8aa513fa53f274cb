#include "widgets/draw/Gradient.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace kd {
namespace {

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0, 255, 0));
    return image;
}

void fill(QImage& image, const QRect& rect, QColor start, QColor end, TGradientDirection dir,
          int colours) {
    QPainter painter(&image);
    FillGradientRect(painter, rect, start, end, dir, colours);
}

TEST(Gradient, ThirtyTwoBandsThenTheRestInTheEndColour) {
    QImage image = canvas(12, 104);
    fill(image, QRect(1, 2, 10, 100), Qt::white, Qt::black, TGradientDirection::TopToBottom, 32);
    // Band i covers rows 2 + 3i .. 4 + 3i, colour 255 - round(255 i / 31).
    EXPECT_EQ(image.pixelColor(5, 2), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(5, 4), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(247, 247, 247));
    EXPECT_EQ(image.pixelColor(5, 2 + 3 * 16), QColor(123, 123, 123));
    EXPECT_EQ(image.pixelColor(5, 2 + 3 * 31), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 2 + 96), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 101), QColor(0, 0, 0));
    // Nothing outside the rectangle.
    for (QPoint p : {QPoint(5, 1), QPoint(5, 102), QPoint(0, 50), QPoint(11, 50)})
        EXPECT_EQ(image.pixelColor(p), QColor(0, 255, 0)) << p.x() << "," << p.y();
}

TEST(Gradient, ReversedDirectionsStartFromTheEndColour) {
    QImage image = canvas(7, 4);
    // Right to left over 7 pixels in 3 bands of 2: end, middle, start, then 1 start.
    fill(image, QRect(0, 0, 7, 4), QColor(200, 0, 0), QColor(0, 0, 100),
         TGradientDirection::RightToLeft, 3);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 100));
    EXPECT_EQ(image.pixelColor(2, 3), QColor(100, 0, 50));
    EXPECT_EQ(image.pixelColor(5, 0), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(6, 0), QColor(200, 0, 0));
}

TEST(Gradient, FewColoursOrAnEmptyRectangle) {
    QImage image = canvas(4, 4);
    fill(image, QRect(0, 0, 4, 4), Qt::red, Qt::blue, TGradientDirection::TopToBottom, 1);
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::red));
    fill(image, QRect(0, 0, 0, 4), Qt::blue, Qt::blue, TGradientDirection::TopToBottom, 8);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    // One pixel high: two bands of no size, the pixel takes the end colour.
    fill(image, QRect(0, 0, 4, 1), Qt::white, Qt::blue, TGradientDirection::TopToBottom, 8);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::blue));
}

} // namespace
} // namespace kd
