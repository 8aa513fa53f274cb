#include "widgets/draw/AngledFont.h"
#include "widgets/draw/ParentBackground.h"
#include "widgets/support/WidgetsApplication.h"

#include <QFontDatabase>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace kd {
namespace {

QWidget* box(QWidget* parent, QRect geometry, QColor color) {
    auto* widget = new QWidget(parent);
    widget->setGeometry(geometry);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    return widget;
}

TEST(ParentBackground, PaintsTheParentAndOverlappingSiblingsBeforeTheControl) {
    test::ensureApplication();
    QWidget parent;
    parent.resize(100, 100);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, Qt::red);
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    box(&parent, QRect(10, 10, 20, 20), Qt::blue); // under the control's corner
    QWidget* control = box(&parent, QRect(20, 20, 40, 40), Qt::white);
    box(&parent, QRect(50, 50, 20, 20), Qt::yellow); // above it: not painted

    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::green);
    {
        QPainter painter(&image);
        PaintParentBackground(control, painter);
    }
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(35, 35), QColor(Qt::red));

    QWidget orphan;
    PaintParentBackground(&orphan, *std::make_unique<QPainter>(&image)); // nothing to paint
}

TEST(AngledFont, KeepsTheStyleAndReplacesDefault) {
    test::ensureApplication();
    QFont font("Default");
    font.setPointSize(11);
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    const AngledFont turned = CreateAngledFont(font, 90);
    EXPECT_EQ(turned.angle, 90);
    EXPECT_EQ(turned.font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_EQ(turned.font.pointSize(), 11);
    EXPECT_EQ(turned.font.weight(), QFont::Bold);
    EXPECT_TRUE(turned.font.italic());
    EXPECT_TRUE(turned.font.underline());
    EXPECT_FALSE(turned.font.strikeOut());
    font.setWeight(QFont::DemiBold);
    font.setFamily("Serif");
    EXPECT_EQ(CreateAngledFont(font, 0).font.family(), "Serif");
}

} // namespace
} // namespace kd
