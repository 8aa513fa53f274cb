#include "MainWindowFixture.h"
#include "widgets/menu/TKitPopupMenu.h"
#include "widgets/tray/TKitTrayIcon.h"

#include <QApplication>

namespace kd::test {
namespace {

// The window's notification area: what it was last shown, and a way to click it.
struct TrayRecord {
    bool available = true;
    bool present = false;
    std::vector<qint64> icons;
    QString tip;
};

class RecordingTrayArea : public TrayArea {
public:
    explicit RecordingTrayArea(TrayRecord& record) : record_(record) {}
    bool Add(const QIcon& icon, const QString& tip) override {
        record_.present = record_.available;
        if (record_.present)
            Modify(icon, tip);
        return record_.present;
    }
    void Modify(const QIcon& icon, const QString& tip) override {
        record_.icons.push_back(icon.cacheKey());
        record_.tip = tip;
    }
    void Remove() override { record_.present = false; }
    QPoint CursorPos() const override { return {10, 10}; }
    Qt::KeyboardModifiers Modifiers() const override { return {}; }

private:
    TrayRecord& record_;
};

class TrayIconWindowTest : public MainWindowFixture {
protected:
    TrayIconWindowTest() {
        trayArea = [this] {
            auto area = std::make_unique<RecordingTrayArea>(tray);
            area_ = area.get();
            return area;
        };
    }
    void click(TrayMouse down, TrayMouse up) {
        area_->OnNotify(down);
        area_->OnNotify(up);
        QCoreApplication::processEvents();
    }

    TrayRecord tray;
    RecordingTrayArea* area_ = nullptr;
};

TEST_F(TrayIconWindowTest, ARunAnimatesTheIconWithItsHintsAndEndsStill) {
    open();
    ASSERT_TRUE(tray.present);
    EXPECT_EQ(tray.tip, "Připraveno k archivaci");
    auto* icon = window->findChild<TKitTrayIcon*>("KitTrayIcon");
    ASSERT_NE(icon, nullptr);
    const qint64 still = tray.icons.back();

    window->ShowBusy();
    EXPECT_EQ(tray.tip, "Pracuji...");
    EXPECT_TRUE(icon->Animated());
    tray.icons.clear();
    icon->AdvanceFrame();
    icon->AdvanceFrame();
    window->showTrayHint("Hotovo 50 %");
    EXPECT_EQ(tray.tip, "Hotovo 50 %");
    ASSERT_EQ(tray.icons.size(), 3u);
    EXPECT_NE(tray.icons[0], tray.icons[1]);
    EXPECT_NE(tray.icons[0], still);

    window->ShowReady();
    EXPECT_FALSE(icon->Animated());
    EXPECT_EQ(tray.icons.back(), still);
    EXPECT_EQ(tray.tip, "Připraveno k archivaci");
}

TEST_F(TrayIconWindowTest, MinimisingHidesTheWindowAndALeftClickBringsItBack) {
    open();
    window->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isHidden());
    click(TrayMouse::LeftDown, TrayMouse::LeftUp);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(TrayIconWindowTest, ARightClickOpensTheTrayMenuAndLeavesTheWindowAlone) {
    open();
    window->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    click(TrayMouse::RightDown, TrayMouse::RightUp);
    auto* menu = window->findChild<TKitPopupMenu*>("TrayMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->PopupPoint(), QPoint(10, 10));
    QStringList items;
    for (QAction* item : menu->actions())
        if (!item->isSeparator())
            items << item->text();
    EXPECT_EQ(items, QStringList({"&Kordyne", "&WWW stránky autora", "&Konec"}));
    EXPECT_TRUE(window->isHidden());
    menu->close();
}

TEST_F(TrayIconWindowTest, WithoutANotificationAreaMinimisingKeepsTheWindow) {
    tray.available = false;
    open();
    window->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isHidden());
}

} // namespace
} // namespace kd::test
