#include "widgets/pictures/TPicClip.h"
#include "widgets/pictures/IconHandles.h"
#include "widgets/support/WidgetsApplication.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace kd {
namespace {

// 64 x 16: four 16 x 16 squares, square k filled with grey level 10 k on an olive
// bottom-left pixel.
TPicture strip() {
    QImage image(64, 16, QImage::Format_RGB32);
    for (int k = 0; k < 4; ++k)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                image.setPixelColor(16 * k + x, y, QColor(10 * k, 10 * k, 10 * k));
    image.setPixelColor(0, 15, QColor(0x80, 0x80, 0));
    return TPicture(KitBitmap{image, clDefault, false});
}

TEST(PicClip, CellsOfAStrip) {
    TPicClip clip;
    clip.setPicture(strip());
    EXPECT_EQ(clip.MaskColor(), clOlive); // the bitmap's bottom-left pixel
    EXPECT_EQ(clip.CellCount(), 1);
    EXPECT_THROW(clip.GetCell(1), EListError);
    clip.setCols(4);
    EXPECT_EQ(clip.Width(), 16);
    const KitBitmap& third = clip.GetCell(2);
    ASSERT_EQ(third.image.size(), QSize(16, 16));
    EXPECT_EQ(third.image.pixelColor(5, 5), QColor(20, 20, 20));
    EXPECT_TRUE(third.Transparent);
    try {
        clip.GetCell(4);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (4)");
    }
    EXPECT_THROW(clip.GetCell(-1), EListError);
}

TEST(PicClip, WidthPicksColumnsOnlyWhenACellFits) {
    TPicClip clip;
    clip.setPicture(strip());
    clip.setWidth(100);
    EXPECT_EQ(clip.Cols(), 1);
    clip.setWidth(16);
    EXPECT_EQ(clip.Cols(), 4);
    clip.setHeight(0);
    EXPECT_EQ(clip.Rows(), 1);
    clip.setMaskColor(clNone);
    EXPECT_FALSE(clip.GetCell(0).Transparent);
}

TEST(PicClip, EmptyClipAndChangeEvents) {
    TPicClip clip;
    EXPECT_TRUE(clip.IsEmpty());
    EXPECT_EQ(clip.CellCount(), 0);
    EXPECT_EQ(clip.DefaultMaskColor(), clOlive);
    int changes = 0;
    clip.OnChange = [&](TPicClip&) { ++changes; };
    clip.setMaskColor(clOlive);
    EXPECT_EQ(changes, 0);
    clip.setMaskColor(clBlue);
    EXPECT_EQ(changes, 1);
}

TEST(PicClip, CopiesKeepGridAndFillAnImageListInOneChange) {
    test::ensureApplication();
    TPicClip source;
    source.setPicture(strip());
    source.setCols(4);
    source.setMaskColor(ColorFromRGB(QColor(10, 10, 10)));
    TPicClip copy;
    copy.Assign(source);
    EXPECT_EQ(copy.Cols(), 4);
    EXPECT_EQ(copy.MaskColor(), source.MaskColor());

    KitImageList list;
    int signals_ = 0;
    QObject::connect(&list, &KitImageList::changed, [&] { ++signals_; });
    copy.AssignTo(list);
    EXPECT_EQ(signals_, 1);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(list.image(1).pixel(3, 3)), 0); // the mask colour
    EXPECT_EQ(qAlpha(list.image(2).pixel(3, 3)), 255);
}

TEST(IconHandles, ReadsAnIconFileAndItsSize) {
    test::ensureApplication();
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "ico").write(image));
    const QIcon icon = ReadIconFromStream(buffer.data());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(QueryIconSize(icon), QSize(24, 24));
    EXPECT_EQ(MakeIconHandle(icon).toImage().pixelColor(3, 3), QColor(Qt::red));
    EXPECT_TRUE(ReadIconFromStream(QByteArray("\0\0\7\0", 4)).isNull());
    EXPECT_TRUE(ReadIconFromStream(QByteArray("\0\0\1\0\5\0", 6)).isNull()); // short
}

} // namespace
} // namespace kd
