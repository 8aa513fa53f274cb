#include "lang/TResourceStrings.h"
#include "lang/qt/TFrm_KD.h"
#include "lang/support/QtApplication.h"
#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <filesystem>
#include <gtest/gtest.h>

using namespace kd;

namespace {

struct Window : TFrm_KD<QMainWindow> {
    Window() {
        setObjectName("FormZalohovani");
        setWindowTitle("Zálohování");
        status = new QLabel("Připraveno", this);
        status->setObjectName("Label1");
        dialog = new TFrm_KD<QDialog>(this);
        dialog->setObjectName("ExtractDlg");
        dialog->setWindowTitle("Rozbalit");
    }
    QLabel* status;
    TFrm_KD<QDialog>* dialog;
};

class FormTranslationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQtApplication(); }
    FormTranslationTest() { setFormFilesDirectory(dir.path()); }
    ~FormTranslationTest() override {
        setFormFilesDirectory({});
        LanguageCode = "CZ";
        SaveTranslationMode = false;
    }
    void writeEnglish(const std::string& title) {
        dir.write("Lang/Transl_EN.Ini", "[Translations]\nFormZalohovani.Caption=" + title +
                                            "\nFormZalohovani.Label1.Caption=Ready\n"
                                            "ExtractDlg.Caption=Extract\n");
    }
    void showAgain() {
        window.hide();
        window.show();
    }

    test::TempDir dir;
    Window window;
};

} // namespace

TEST_F(FormTranslationTest, ReadsTheLanguageFileBesideTheProgramWhateverTheCurrentDirectory) {
    writeEnglish("Backup");
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path("/");
    LanguageCode = "EN";
    window.show();
    std::filesystem::current_path(cwd);
    EXPECT_EQ(window.windowTitle(), "Backup");
    EXPECT_EQ(window.status->text(), "Ready");
    // The dialog is a form of its own, translated when it shows.
    EXPECT_EQ(window.dialog->windowTitle(), "Rozbalit");
    window.dialog->show();
    EXPECT_EQ(window.dialog->windowTitle(), "Extract");
}

TEST_F(FormTranslationTest, KeepsRunTimeTextsAndGoesBackToTheBuiltInTexts) {
    writeEnglish("Backup");
    LanguageCode = "EN";
    window.show();
    window.status->setText("Zálohuji 3 soubory");
    showAgain();
    EXPECT_EQ(window.status->text(), "Zálohuji 3 soubory");

    LanguageCode = "CZ"; // no Czech file: the built-in texts
    window.formTranslation().translateAgain();
    EXPECT_EQ(window.windowTitle(), "Zálohování");
    EXPECT_EQ(window.status->text(), "Zálohuji 3 soubory");
}

TEST_F(FormTranslationTest, ARestoreFromTheTrayIsNoNewShow) {
    writeEnglish("Backup");
    LanguageCode = "EN";
    window.show();
    writeEnglish("Backup 2");
    window.formTranslation().nextShowIsRestore();
    showAgain();
    EXPECT_EQ(window.windowTitle(), "Backup");
    showAgain();
    EXPECT_EQ(window.windowTitle(), "Backup 2");
}

TEST_F(FormTranslationTest, AMissingOrBrokenLanguageFileLeavesTheBuiltInTexts) {
    LanguageCode = "SK";
    window.show();
    EXPECT_EQ(window.windowTitle(), "Zálohování");
    dir.write("Lang/Transl_SK.Ini", std::string("\x00\xff[Tr\r\n=\"", 9));
    showAgain();
    EXPECT_EQ(window.windowTitle(), "Zálohování");
    EXPECT_EQ(window.status->text(), "Připraveno");
}

TEST_F(FormTranslationTest, SaveModeWritesEachShownFormKeepingThePreviousFile) {
    writeEnglish("Backup");
    LanguageCode = "EN";
    SaveTranslationMode = true;
    std::filesystem::remove_all(dir.file("Lang/"));
    window.show();
    const std::string file = dir.file("Lang/TRANSL_FormZalohovani.ini");
    EXPECT_EQ(IniFile(file).readString("Translations", "FormZalohovani.Caption"), "Zálohování");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lang/TRANSL_FormZalohovani.bak")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lang/TRANSL_ExtractDlg.ini")));
    window.status->setText("Hotovo");
    showAgain();
    EXPECT_EQ(IniFile(dir.file("Lang/TRANSL_FormZalohovani.bak"))
                  .readString("Translations", "FormZalohovani.Label1.Caption"),
              "Připraveno");
    EXPECT_EQ(IniFile(file).readString("Translations", "FormZalohovani.Label1.Caption"), "Hotovo");
}

TEST(SaveTranslationSwitch, IsTheWholeArgumentInAnyLetterCase) {
    const auto modeFor = [](const std::string& argument) {
        SaveTranslationMode = false;
        readSaveTranslationSwitch({"a", argument});
        const bool mode = SaveTranslationMode;
        SaveTranslationMode = false;
        return mode;
    };
    EXPECT_TRUE(modeFor("/save_translation"));
    EXPECT_TRUE(modeFor("/SAVE_Translation"));
    EXPECT_FALSE(modeFor("-save_translation"));
    EXPECT_FALSE(modeFor("/save_translations"));
    EXPECT_FALSE(modeFor(" /save_translation"));
}
