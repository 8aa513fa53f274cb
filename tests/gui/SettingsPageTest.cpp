#include "app/gui/SettingsPage.h"
#include "MainWindowFixture.h"
#include "platform/AtomicFile.h"
#include "platform/TextFile.h"
#include "widgets/buttons/TKitSpeedButton.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

using namespace kd;
using namespace kd::test;

namespace {

class SettingsPageTest : public MainWindowFixture {
protected:
    QLineEdit* edit(const char* name) { return widget<QLineEdit>(name); }
    void press(QWidget* target, Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    std::string currentPage() {
        return widget<QStackedWidget>("PageControl1")->currentWidget()->objectName().toStdString();
    }
    bool busy() { return !widget<QToolBar>("ToolBarBrowse")->isEnabled(); }
};

} // namespace

TEST_F(SettingsPageTest, MenuAsksThePasswordAndOkWritesTheSettings) {
    dir.write("Nastaven.txt", "HESLO_ADMIN=spravce\r\nPREPISOVAT=1\r\nTIMER=90000\r\n");
    open();
    ui.inputNext("spravce");
    action("MenuNastaven1")->trigger();
    ASSERT_EQ(currentPage(), "TabSheetNastaven");
    EXPECT_TRUE(busy());
    EXPECT_FALSE(widget<QMenu>("MenuServis")->menuAction()->isEnabled());
    EXPECT_EQ(edit("EditInterval")->text(), "1");
    EXPECT_TRUE(widget<QRadioButton>("RGTypSpusteni2")->isChecked());
    auto* overwrite = widget<QComboBox>("Overwrite");
    EXPECT_EQ(overwrite->currentText(), QString::fromUtf8("Vždy"));

    // Translated item texts keep the choices.
    auto* language = widget<QComboBox>("cb_Language");
    overwrite->setCurrentIndex(4); // "Dotaz"
    language->setCurrentIndex(2);
    const char* const english[] = {"Always", "Newer", "Older", "Never", "Ask"};
    for (int i = 0; i < 5; ++i)
        overwrite->setItemText(i, english[i]);
    for (int i = 0; i < 3; ++i)
        language->setItemText(i, QString("Language %1").arg(i));
    EXPECT_EQ(overwrite->currentIndex(), 4);

    edit("EditInterval")->setText("20");
    widget<QLineEdit>("edt_PackLevel")->setText("3");
    widget<QPushButton>("ButtonOk")->click();
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    EXPECT_FALSE(busy());
    const auto lines = readTextLines(dir.file("Nastaven.txt"));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[5], "TIMER=1200000");
    EXPECT_EQ(lines[7], "PREPISOVAT=0");
    EXPECT_EQ(lines[8], "LEVEL=3");
    EXPECT_EQ(lines[10], "HESLO_ADMIN=spravce");
    EXPECT_EQ(lines[13], "LANGUAGE=SK");
    EXPECT_EQ(widget<QTimer>("Timer1")->interval(), 1200000);

    // Answered once, the password is not asked again.
    action("MenuNastaven1")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetNastaven");
    EXPECT_EQ(ui.prompts.size(), 1u);
}

TEST_F(SettingsPageTest, EscapeCancelsAndWritesNothing) {
    open();
    action("MenuNastaven1")->trigger();
    ASSERT_EQ(currentPage(), "TabSheetNastaven");
    EXPECT_TRUE(ui.prompts.empty()); // no settings password
    edit("EditInterval")->setText("30");
    window->activateWindow();
    edit("EditInterval")->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit("EditInterval"));
    EXPECT_TRUE(widget<QStatusBar>("StatusBar3")->currentMessage().contains("minutách"));
    press(edit("EditInterval"), Qt::Key_Return); // moves on, saves nothing
    EXPECT_NE(QApplication::focusWidget(), edit("EditInterval"));
    EXPECT_EQ(currentPage(), "TabSheetNastaven");
    press(edit("EditInterval"), Qt::Key_Escape);
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    EXPECT_FALSE(busy());
    EXPECT_EQ(readWholeFile(dir.file("Nastaven.txt")), "");
    EXPECT_EQ(window->settings().TimerInterval, 600000);
}

TEST_F(SettingsPageTest, BadValueKeepsThePageAndBrowseStartsInTheEditsDirectory) {
    open();
    action("MenuNastaven1")->trigger();
    edit("edt_TemAdresar")->setText("/var/tmp");
    // The folder dialog takes only an existing directory.
    ui.chooseNext(dir.path());
    widget<TKitSpeedButton>("edt_TemAdresarButton")->Click();
    EXPECT_EQ(ui.chooseStarts, (std::vector<std::string>{"/var/tmp"}));
    EXPECT_EQ(edit("edt_TemAdresar")->text(), QString::fromStdString(dir.path()));

    edit("EditInterval")->setText("0");
    widget<QPushButton>("ButtonOk")->click();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(currentPage(), "TabSheetNastaven");
    EXPECT_TRUE(busy());
    EXPECT_EQ(readWholeFile(dir.file("Nastaven.txt")), "");

    widget<QPushButton>("ButtonZrusNast")->click();
    EXPECT_FALSE(busy());
    // What entering does not reload stays as typed.
    action("MenuNastaven1")->trigger();
    EXPECT_EQ(edit("edt_TemAdresar")->text(), QString::fromStdString(dir.path()));
    EXPECT_EQ(edit("EditInterval")->text(), "10");
}
