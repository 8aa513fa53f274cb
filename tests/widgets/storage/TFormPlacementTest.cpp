#include "platform/RegistryStore.h"
#include "support/TempDir.h"
#include "widgets/storage/IniPlacementStore.h"
#include "widgets/storage/OnScreen.h"
#include "widgets/storage/PlacementValues.h"
#include "widgets/storage/RegistryPlacementStore.h"
#include "widgets/storage/TFormStorage.h"
#include "widgets/support/WidgetsApplication.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using namespace kd;

namespace {

const std::string kSection = "hkey_local_machine\\software\\orvik_cz\\kordyne";

class PlacementTest : public ::testing::Test, protected test::WithWidgetsApplication {
protected:
    // A window with its storage set up as the main window's.
    struct Window {
        QWidget widget;
        TFormStorage* storage;
        explicit Window(RegistryStore& registry) : storage(new TFormStorage(&widget)) {
            widget.setObjectName("FormZalohovani");
            storage->UseRegistry = true;
            storage->Version = 155;
            storage->setIniSection(kSection);
            storage->setRegistryStore(&registry);
            storage->OnError = [](const std::string& message) { ADD_FAILURE() << message; };
            storage->setOnDisplay([] { return true; }); // drawn off screen by the tests
            // Positions are those of the frame (move, pos), sizes those of the window.
            widget.move(40, 30);
            widget.resize(320, 240);
        }
        ~Window() { storage->FormDestroy(); }
    };

    std::optional<std::string> stored(const std::string& name) const {
        return registry.readString(key, name);
    }
    void store(const std::string& name, const std::string& value) {
        registry.writeString(key, name, value);
    }

    test::TempDir home;
    RegistryStore registry{"kordyne", home.path()};
    const std::string key = DefaultRegistryKey() + "\\" + kSection;
    const std::string suffix = screenSizeSuffix();
};

} // namespace

TEST_F(PlacementTest, TheFirstCloseWritesTheNineValuesUnderTheNestedKey) {
    EXPECT_EQ(DefaultRegistryKey(), "Software\\test_widgets");
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(suffix,
              "(" + std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + ")");
    {
        Window w(registry);
        w.widget.show(); // nothing stored: nothing restored
        EXPECT_EQ(w.widget.pos(), QPoint(40, 30));
        EXPECT_TRUE(w.storage->Restored());
        w.widget.move(100, 80);
        w.widget.close();
        EXPECT_TRUE(w.storage->Saved());
    }
    EXPECT_EQ(stored("FormVersion"), "155");
    EXPECT_EQ(stored("Flags"), "0");
    EXPECT_EQ(stored("ShowCmd"), "1");
    EXPECT_EQ(stored("PixelsPerInch"), std::to_string(screenPixelsPerInch()));
    EXPECT_EQ(stored("MinMaxPos" + suffix), "-1,-1,-1,-1");
    EXPECT_EQ(stored("MinMaxPos"), "-1,-1,-1,-1");
    EXPECT_EQ(stored("NormPos" + suffix), "100,80,420,320");
    EXPECT_EQ(stored("NormPos"), "100,80,420,320");
    EXPECT_EQ(stored("Visible"), "0");
}

TEST_F(PlacementTest, ANewWindowComesBackWhereTheLastOneWasClosed) {
    {
        Window w(registry);
        w.widget.show();
        w.widget.move(120, 90);
        w.widget.resize(400, 300);
        w.widget.close();
    }
    Window again(registry);
    again.widget.show();
    EXPECT_EQ(again.widget.pos(), QPoint(120, 90));
    EXPECT_EQ(again.widget.size(), QSize(400, 300));
}

TEST_F(PlacementTest, OnlyTheCurrentVersionOrANewerOneIsRestored) {
    store("NormPos", "10,20,210,170");
    store("FormVersion", "154");
    {
        Window w(registry);
        w.widget.show();
        EXPECT_EQ(w.widget.pos(), QPoint(40, 30));
        EXPECT_TRUE(w.storage->Restored()); // so closing writes the new version
    }
    EXPECT_EQ(stored("FormVersion"), "155");
    EXPECT_EQ(stored("Visible"), "1"); // saved by the destruction, not by a close

    store("NormPos", "10,20,210,170");
    store("NormPos" + suffix, "");
    store("FormVersion", "156");
    Window newer(registry);
    newer.widget.show();
    EXPECT_EQ(QRect(newer.widget.pos(), newer.widget.size()), QRect(10, 20, 200, 150));
}

TEST_F(PlacementTest, TheValuesOfThisScreenSizeComeBeforeTheBareOnes) {
    store("FormVersion", "155");
    store("NormPos", "10,20,210,170");
    store("NormPos(1024x768)", "50,50,150,150");
    store("NormPos" + suffix, "30,40,130,140");
    Window w(registry);
    w.widget.show();
    EXPECT_EQ(QRect(w.widget.pos(), w.widget.size()), QRect(30, 40, 100, 100));
}

TEST_F(PlacementTest, APlacementIsClampedOntoTheScreenItTouchesOrTheNearest) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QMargins frame; // what the frame adds around the window
    // The window's frame as shown, its position and size as stored.
    const auto restored = [&](const std::string& normPos) {
        store("FormVersion", "155");
        store("NormPos", normPos);
        store("NormPos" + suffix, ""); // what the last window saved
        Window w(registry);
        w.widget.show();
        const QRect inside = w.widget.geometry(), outside = w.widget.frameGeometry();
        frame = QMargins(inside.left() - outside.left(), inside.top() - outside.top(),
                         outside.right() - inside.right(), outside.bottom() - inside.bottom());
        return outside;
    };
    const QRect offScreen = restored("5000,-3000,5300, -2800 ");
    EXPECT_EQ(offScreen,
              QRect(area.right() + 1 - offScreen.width(), area.top(),
                    300 + frame.left() + frame.right(), 200 + frame.top() + frame.bottom()));
    EXPECT_EQ(restored(std::to_string(area.left() + 10) + ",120,100010,320"),
              QRect(area.left(), 120, area.width(), 200 + frame.top() + frame.bottom()));
    EXPECT_EQ(restored("-2147483648,-2147483648,2147483647,2147483647"), area);
    EXPECT_EQ(restored("2147483600,-5,-2147483648,7").topLeft(), QPoint(40, 30)); // no width

    const QList<QRect> twoScreens{QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
    EXPECT_EQ(clampedOntoScreens({-900, 100, 2000, 100}, {QRect(0, 0, 800, 600)}),
              QRect(0, 100, 800, 100));
    EXPECT_EQ(clampedOntoScreens({700, 500, 400, 300}, twoScreens),
              QRect(800, 468, 400, 300)); // more of it on the second screen
    EXPECT_EQ(clampedOntoScreens({2000, 900, 3000, 100}, twoScreens),
              QRect(800, 668, 1024, 100)); // shrunk to the nearer, wider screen
}

TEST_F(PlacementTest, DamagedPositionsKeepTheWindowsOwnValues) {
    store("FormVersion", "155");
    store("NormPos", "x,25");
    Window w(registry);
    w.widget.show();
    // Missing words take the window's own (right and bottom too, so the height grows).
    EXPECT_EQ(QRect(w.widget.pos(), w.widget.size()), QRect(40, 25, 320, 245));
}

TEST_F(PlacementTest, AnotherPixelDensityDropsThePositionButKeepsTheState) {
    store("FormVersion", "155");
    store("NormPos", "10,20,210,170");
    store("PixelsPerInch", std::to_string(screenPixelsPerInch() + 24));
    store("ShowCmd", "3");
    Window w(registry);
    w.widget.show();
    EXPECT_TRUE(w.widget.isMaximized());
    EXPECT_NE(w.widget.normalGeometry().topLeft(), QPoint(10, 20));
}

TEST_F(PlacementTest, AStoredMinimisedStateMinimisesOnceTheWindowIsUp) {
    store("FormVersion", "155");
    store("ShowCmd", "2");
    Window w(registry);
    w.widget.show();
    EXPECT_FALSE(w.widget.isMinimized());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.widget.isMinimized());
}

TEST_F(PlacementTest, AWindowOffScreenLeavesTheStoredPlacementAsItWas) {
    store("FormVersion", "155");
    store("NormPos", "10,20,410,320");
    {
        Window w(registry);
        w.storage->setOnDisplay({}); // Qt draws the tests' windows off screen
        w.widget.show();
        w.widget.resize(700, 500);
        w.widget.close();
    }
    EXPECT_EQ(stored("NormPos"), "10,20,410,320");
    EXPECT_FALSE(stored("NormPos" + suffix));
    EXPECT_FALSE(stored("Visible"));
}

TEST_F(PlacementTest, AnInactiveStorageNeitherRestoresNorSaves) {
    store("FormVersion", "155");
    store("NormPos", "10,20,210,170");
    {
        Window w(registry);
        w.storage->Active = false;
        w.widget.show();
        EXPECT_EQ(w.widget.pos(), QPoint(40, 30));
        w.widget.close();
    }
    EXPECT_EQ(stored("Visible"), std::nullopt);
}

TEST_F(PlacementTest, StoredPropertiesAndValuesGoIntoTheSection) {
    {
        Window w(registry);
        auto* edit = new QLineEdit("jedna", &w.widget);
        edit->setObjectName("Edit1");
        w.storage->setStoredProps({"Edit1.Text"});
        TStoredValue& secret = w.storage->StoredValues().Add();
        secret.setName("Heslo");
        secret.KeyString = "ky";
        secret.Value = QString("abc");
        TStoredValue& plain = w.storage->StoredValues().Add();
        plain.setName("Pocet");
        plain.Value = 12;
        w.widget.show();
        edit->setObjectName("Edit2");
        w.widget.close();
    }
    EXPECT_EQ(stored("Edit2_text"), "jedna");
    EXPECT_EQ(stored("Heslo"), "0a1b08");
    EXPECT_EQ(stored("Pocet"), "12");

    store("Edit2_text", "dva");
    store("Pocet", "13");
    Window w(registry);
    auto* edit = new QLineEdit(&w.widget);
    edit->setObjectName("Edit2");
    w.storage->setStoredProps({"Edit2.Text"});
    TStoredValue& secret = w.storage->StoredValues().Add();
    secret.setName("Heslo");
    secret.KeyString = "ky";
    TStoredValue& plain = w.storage->StoredValues().Add();
    plain.setName("Pocet");
    w.widget.show();
    EXPECT_EQ(edit->text(), "dva");
    EXPECT_EQ(secret.Value.toString(), "abc");
    EXPECT_EQ(plain.Value.toString(), "13");

    store("Heslo", "0a1b0"); // cut short: the value there is stays
    secret.Value = QString("old");
    secret.Restore();
    EXPECT_EQ(secret.Value.toString(), "old");
}

TEST_F(PlacementTest, RegistryValuesAreReadBackAtOnceAndStoredOnClose) {
    RegistryPlacementStore placement(registry, DefaultRegistryKey());
    store("Flags", "0");
    placement.writeString(kSection, "Flags", "1");
    placement.writeInteger(kSection, "FormVersion", 155);
    EXPECT_EQ(placement.readString(kSection, "FLAGS", ""), "1");
    EXPECT_EQ(stored("Flags"), "0");
    placement.close();
    EXPECT_EQ(stored("Flags"), "1");
    EXPECT_EQ(stored("FormVersion"), "155");
}

TEST(IniPlacementStoreTest, QuotedValuesComeBackUnchangedAndTheFileIsWrittenOnClose) {
    test::TempDir dir;
    const std::string path = dir.file("kordyne.INI");
    {
        IniPlacementStore store(path);
        store.writeString("Okno", "Titulek", "\"v uvozovkách\"");
        store.writeString("Okno", "Apostrofy", "'a'");
        store.writeString("Okno", "Jeden", "\"");
        store.writeInteger("Okno", "FormVersion", 155);
        EXPECT_FALSE(std::filesystem::exists(path));
        store.close();
    }
    IniPlacementStore again(path);
    EXPECT_EQ(again.readString("okno", "titulek", ""), "\"v uvozovkách\"");
    EXPECT_EQ(again.readString("Okno", "Apostrofy", ""), "'a'");
    EXPECT_EQ(again.readString("Okno", "Jeden", ""), "\"");
    EXPECT_EQ(again.readInteger("Okno", "FormVersion", 0), 155);
    EXPECT_EQ(again.readInteger("Okno", "Chybi", 7), 7);
}

TEST(IniPlacementStoreTest, APlacementWithoutTheRegistryLivesInItsIniFile) {
    test::ensureApplication();
    test::TempDir dir;
    const std::string path = dir.file("placement.INI");
    {
        QWidget widget;
        TFormPlacement placement(&widget);
        placement.setIniFileName(path);
        placement.setOnDisplay([] { return true; });
        EXPECT_EQ(placement.IniSection(), "QWidget");
        widget.move(50, 60);
        widget.show();
        widget.close();
    }
    IniPlacementStore store(path);
    EXPECT_EQ(store.readString("QWidget", "FormVersion", ""), "0");
    EXPECT_EQ(store.readString("QWidget", "NormPos", "").substr(0, 6), "50,60,");
}

TEST_F(PlacementTest, TheFocusedControlComesBackWhenAsked) {
    {
        Window w(registry);
        w.storage->setOptions(w.storage->Options() | TFormPlacement::fpActiveControl);
        auto* first = new QLineEdit(&w.widget);
        first->setObjectName("Edit1");
        auto* second = new QLineEdit(&w.widget);
        second->setObjectName("Edit2");
        second->move(0, 40);
        w.widget.show();
        second->setFocus();
        w.widget.close();
    }
    EXPECT_EQ(stored("ActiveControl"), "Edit2");
    Window w(registry);
    w.storage->setOptions(w.storage->Options() | TFormPlacement::fpActiveControl);
    new QLineEdit(&w.widget);
    auto* edit = new QLineEdit(&w.widget);
    edit->setObjectName("Edit2");
    w.widget.show();
    EXPECT_EQ(w.widget.focusWidget(), edit);
}

TEST_F(PlacementTest, SizeLimitsHoldWhileSetAndTheWindowsOwnComeBack) {
    Window w(registry);
    w.widget.setMinimumWidth(100);
    w.widget.show();
    TWinMinMaxInfo limits;
    limits.setValue(TWinMinMaxInfo::MinTrackWidth, 200);
    limits.setValue(TWinMinMaxInfo::MaxTrackHeight, 400);
    w.storage->setMinMaxInfo(limits);
    EXPECT_EQ(w.widget.minimumSize(), QSize(200, 0));
    EXPECT_EQ(w.widget.maximumHeight(), 400);
    w.storage->setMinMaxInfo(TWinMinMaxInfo());
    EXPECT_EQ(w.widget.minimumSize(), QSize(100, 0));
    EXPECT_EQ(w.widget.maximumHeight(), QWIDGETSIZE_MAX);

    const QSize size = w.widget.size();
    w.storage->setPreventResize(true);
    EXPECT_TRUE(w.widget.isVisible());
    EXPECT_EQ(w.widget.minimumSize(), size);
    EXPECT_EQ(w.widget.maximumSize(), size);
    EXPECT_FALSE(w.widget.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    w.storage->setPreventResize(false);
    EXPECT_EQ(w.widget.minimumSize(), QSize(100, 0));
    EXPECT_TRUE(w.widget.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}
