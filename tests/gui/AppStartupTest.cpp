#include "app/gui/AppStartup.h"
#include "GuiApplication.h"
#include "lang/TResourceStrings.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"

#include <QDialog>
#include <QMainWindow>
#include <gtest/gtest.h>

using namespace kd;

namespace {

class AppStartupTest : public ::testing::Test {
protected:
    AppStartupTest() { test::ensureApplication(); }
    ~AppStartupTest() override {
        LanguageCode = "CZ";
        ResourceStrings.LoadLanguage("CZ");
    }

    test::TempDir dir;
    test::ScriptedUiHost ui;
};

} // namespace

TEST_F(AppStartupTest, CreatesTheFormsInOrderAndLoadsTheLanguageOfTheSettings) {
    dir.write("Nastaven.txt", "LANGUAGE=SK\r\nTIMER=60000\r\n");
    AppStartup startup(ui, dir.path());
    startup.CreateForms();

    std::vector<std::string> names;
    for (QWidget* form : startup.forms())
        names.push_back(form->objectName().toStdString());
    EXPECT_EQ(names,
              (std::vector<std::string>{"FormZalohovani", "ExtractDlg", "Formul_OAplikaci",
                                        "FrmSeznamAdresaru", "frm_ViewLog", "frm_ErrorDialog"}));
    EXPECT_NE(qobject_cast<QMainWindow*>(startup.forms()[0]), nullptr);
    for (std::size_t i = 1; i < names.size(); ++i)
        EXPECT_NE(qobject_cast<QDialog*>(startup.forms()[i]), nullptr) << names[i];

    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(startup.mainForm().settings().TimerInterval, 60000);
    EXPECT_EQ(LanguageCode, "SK");
    EXPECT_EQ(ResourceStrings.GetText(20000), "Chyba");
}

TEST_F(AppStartupTest, UnknownLanguageIsReportedAndCzechTextsStay) {
    dir.write("Nastaven.txt", "LANGUAGE=DE\r\n");
    AppStartup startup(ui, dir.path());
    startup.CreateForms();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Nelze načíst soubor jazyk.mutace def_kd_DE");
    EXPECT_EQ(LanguageCode, "DE");
    EXPECT_EQ(ResourceStrings.GetText(20000), "Chyba");
}
