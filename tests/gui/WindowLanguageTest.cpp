#include "MainWindowFixture.h"
#include "app/gui/TExtractDlg.h"
#include "lang/qt/FormTranslation.h"
#include "platform/IniFile.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace kd;
using namespace kd::test;

namespace {

class WindowLanguageTest : public MainWindowFixture {
protected:
    WindowLanguageTest() {
        setFormFilesDirectory(files.path());
        files.write("Lang/Transl_EN.Ini", "[Translations]\n"
                                          "FormZalohovani.MenuProfil.Caption=&Profile\n"
                                          "FormZalohovani.ActionNovyProfil.Caption=&New profile\n"
                                          "FormZalohovani.ListSeznamZal.Columns.0.Caption=Name\n"
                                          "FormZalohovani.btn_Cancel.Caption=Stop the backup\n"
                                          "FormZalohovani.Version.Caption=X\n"
                                          "FormZalohovani.StatusBar1Panel0.Caption=X\n");
    }
    ~WindowLanguageTest() override {
        setFormFilesDirectory({});
        SaveTranslationMode = false;
    }
    QString menuTitle() { return widget<QMenu>("MenuProfil")->title(); }
    QString firstColumn() {
        return listModel().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    void saveLanguage(int position) {
        action("MenuNastaven1")->trigger();
        widget<QComboBox>("cb_Language")->setCurrentIndex(position);
        widget<QPushButton>("ButtonOk")->click();
    }

    TempDir files; // the program's directory, holding "Lang"
};

} // namespace

TEST_F(WindowLanguageTest, TheShownWindowFollowsTheLanguageSavedInTheSettings) {
    open();
    const QString czechMenu = menuTitle(), czechColumn = firstColumn();
    const QString version = widget<QLabel>("Version")->text();

    saveLanguage(1); // EN
    EXPECT_EQ(menuTitle(), "&Profile");
    EXPECT_EQ(action("ActionNovyProfil")->text(), "&New profile");
    EXPECT_EQ(firstColumn(), "Name");
    EXPECT_EQ(widget<QPushButton>("btn_Cancel")->text(), "Stop the backup");
    // The version line is the program's own: its words follow the language, the
    // file's value for it never lands.
    EXPECT_TRUE(widget<QLabel>("Version")->text().startsWith("Version:"));

    saveLanguage(0); // CZ: no file, the built-in texts come back
    EXPECT_EQ(menuTitle(), czechMenu);
    EXPECT_EQ(firstColumn(), czechColumn);
    EXPECT_EQ(widget<QLabel>("Version")->text(), version);
}

TEST_F(WindowLanguageTest, TheProfileListsPeriodKindFollowsTheLanguage) {
    TObjektZal record;
    record.Name = "Daily";
    record.PeriodKind = 1;
    SaveProfile(record, dir.path());
    open();
    EXPECT_EQ(cell(0, 6), "Den");
    saveLanguage(1); // EN
    EXPECT_EQ(cell(0, 6), "Day");
    saveLanguage(2); // SK
    EXPECT_EQ(cell(0, 6), "Deň");
}

TEST_F(WindowLanguageTest, ACodeInSmallLettersFindsTheLanguageFileWhateverItsCase) {
    // Copied from another system, the file's name is in capitals; the settings file
    // names the language in small letters. Windows and boxes still speak English.
    std::filesystem::rename(files.file("Lang/Transl_EN.Ini"), files.file("Lang/TRANSL_EN.INI"));
    dir.write("Nastaven.txt", "LANGUAGE=en\r\n");
    open();
    EXPECT_EQ(LanguageCode, "EN");
    EXPECT_EQ(menuTitle(), "&Profile");
    EXPECT_EQ(ResourceStrings.GetText(10009), "Warning");
    // Written back in the program's own spelling.
    saveLanguage(1);
    std::ifstream settings(dir.file("Nastaven.txt"));
    const std::string written{std::istreambuf_iterator<char>(settings), {}};
    EXPECT_NE(written.find("LANGUAGE=EN\r\n"), std::string::npos) << written;
}

TEST_F(WindowLanguageTest, SaveModeWritesTheMainWindowsTextsWithoutItsDialogsOrData) {
    SaveTranslationMode = true;
    open();
    const IniFile saved(files.file("Lang/TRANSL_FormZalohovani.ini"));
    const auto keys = saved.keys("Translations");
    const auto has = [&](const std::string& key) {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    };
    EXPECT_TRUE(has("FormZalohovani.Caption"));
    EXPECT_TRUE(has("FormZalohovani.MenuProfil.Caption"));
    EXPECT_TRUE(has("FormZalohovani.ActionNovyProfil.Caption"));
    EXPECT_TRUE(has("FormZalohovani.ListSeznamZal.Columns.0.Caption"));
    EXPECT_FALSE(has("FormZalohovani.Version.Caption"));
    EXPECT_FALSE(has("FormZalohovani.StatusBar1Panel0.Caption"));

    // A dialog of the window is a form of its own: not among the window's texts.
    window->extractDialog();
    window->hide();
    window->show();
    for (const auto& key :
         IniFile(files.file("Lang/TRANSL_FormZalohovani.ini")).keys("Translations"))
        EXPECT_EQ(key.find("RBtn"), std::string::npos) << key;
    EXPECT_TRUE(std::filesystem::exists(files.file("Lang/TRANSL_FormZalohovani.bak")));
}
