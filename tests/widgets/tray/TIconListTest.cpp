#include "widgets/tray/TIconList.h"
#include "platform/Exception.h"
#include "widgets/tray/DrawnTrayIcons.h"

#include "widgets/support/WidgetsApplication.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace kd {
namespace {

QByteArray int32(qint32 value) {
    const qint32 le = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&le), sizeof le);
}

class IconListTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        for (const QIcon& frame : DrawTrayFrames(2))
            list.Add(frame);
        list.Add(QIcon());
    }
    void load(QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        read.LoadFromStream(buffer);
    }
    QByteArray saved() const {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        list.SaveToStream(buffer);
        return bytes;
    }

    TIconList list;
    TIconList read;
};

TEST_F(IconListTest, StreamKeepsEveryEntryAndItsImage) {
    int changes = 0;
    read.OnChange = [&changes] { ++changes; };
    load(saved());
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(changes, 1); // one change for the whole load
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(read.Get(i).pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
                  list.Get(i).pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(read.Get(2).isNull());
}

TEST_F(IconListTest, BadStreamsAreRefusedWithoutReadingPastTheirEnd) {
    const QByteArray good = saved();
    const qint32 firstSize = qFromLittleEndian<qint32>(good.constData() + 4);
    const QByteArray firstIcon = good.mid(8, firstSize);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty stream", {}},
        {"count cut short", int32(1).left(2)},
        {"negative count", int32(-1)},
        {"count larger than the stream", int32(0x10000000) + int32(0)},
        {"negative size", int32(1) + int32(-5)},
        {"size past the end", int32(1) + int32(firstSize + 1) + firstIcon},
        {"bytes that are no icon", int32(1) + int32(8) + QByteArray("notanico")},
        {"stream cut inside the last entry", good.left(good.size() - 1)},
    };
    for (const auto& bad : cases)
        EXPECT_THROW(load(bad.bytes), Exception) << bad.what;
}

TEST_F(IconListTest, EntriesReadBeforeABadOneStay) {
    QByteArray bytes = saved();
    bytes.chop(4);
    bytes += int32(4) + QByteArray("junk");
    EXPECT_THROW(load(bytes), Exception);
    EXPECT_EQ(read.Count(), 2);
}

TEST_F(IconListTest, EditsOutsideTheListThrowAndABatchChangesOnce) {
    EXPECT_THROW(list.Get(3), Exception);
    EXPECT_THROW(list.Delete(-1), Exception);
    int changes = 0;
    list.OnChange = [&changes] { ++changes; };
    list.Put(3, QIcon()); // the index past the last appends
    EXPECT_EQ(list.Count(), 4);
    list.Move(0, 3);
    list.Exchange(0, 1);
    EXPECT_EQ(changes, 3);
    list.Clear();
    EXPECT_EQ(changes, 4);
}

} // namespace
} // namespace kd
