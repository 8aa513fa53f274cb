#include "widgets/cursors/KitCursors.h"
#include "widgets/support/WidgetsApplication.h"

#include <QPixmap>
#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(KitCursors, RegisteredFromTheProgramsResources) {
    test::ensureApplication();
    RegisterKitCursors();
    ASSERT_TRUE(KitCursorRegistered(crKitHand));
    ASSERT_TRUE(KitCursorRegistered(crKitDrag));
    EXPECT_EQ(KitCursor(crKitHand).pixmap().size(), QSize(32, 32));
    EXPECT_EQ(KitCursor(crKitHand).hotSpot(), QPoint(5, 0));
    EXPECT_EQ(KitCursor(14999).shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace kd
