#include "MainWindowFixture.h"
#include "platform/RegistryStore.h"
#include "widgets/storage/PlacementValues.h"
#include "widgets/storage/TFormStorage.h"

using namespace kd;

namespace {

class MainWindowPlacementTest : public test::MainWindowFixture {
protected:
    MainWindowPlacementTest() {
        onDisplay = [] { return true; };
    }
    std::optional<std::string> stored(const std::string& name) {
        const RegistryStore registry("kordyne", config.path());
        return registry.readString(key, name);
    }
    const std::string key =
        DefaultRegistryKey() + "\\hkey_local_machine\\software\\orvik_cz\\kordyne";
};

} // namespace

TEST_F(MainWindowPlacementTest, TheMainWindowComesBackWhereItWasClosed) {
    TFormZalohovani& first = open();
    EXPECT_TRUE(first.placementStorage().Restored());
    first.move(60, 50);
    first.resize(640, 480);          // on the screen, or it would come back clamped onto it
    const QSize size = first.size(); // as large as the window allows
    first.close();
    EXPECT_EQ(stored("FormVersion"), "155");
    EXPECT_EQ(stored("Visible"), "0");
    EXPECT_EQ(stored("NormPos"), "60,50," + std::to_string(60 + size.width()) + "," +
                                     std::to_string(50 + size.height()));
    window.reset();

    TFormZalohovani& second = open();
    EXPECT_EQ(second.pos(), QPoint(60, 50));
    EXPECT_EQ(second.size(), size);
    // Going without a close saves from the destruction.
    second.move(70, 40);
    window.reset();
    EXPECT_EQ(stored("Visible"), "1");
    EXPECT_EQ(stored("NormPos" + screenSizeSuffix()), "70,40," + std::to_string(70 + size.width()) +
                                                          "," + std::to_string(40 + size.height()));
}

// A backup run without a display draws the window off screen at whatever size it fits
// its texts there: the next start on a display opens as that start would without it.
TEST_F(MainWindowPlacementTest, AWindowOffScreenStoresNoPlacement) {
    onDisplay = {};
    TFormZalohovani& shown = open();
    shown.resize(500, 400);
    shown.close();
    window.reset();
    EXPECT_FALSE(stored("NormPos"));
    EXPECT_FALSE(stored("NormPos" + screenSizeSuffix()));
    EXPECT_FALSE(stored("ShowCmd"));
}
