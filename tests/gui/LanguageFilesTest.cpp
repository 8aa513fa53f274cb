#include "MainWindowFixture.h"
#include "TestPaths.h"
#include "app/gui/TExtractDlg.h"
#include "app/gui/TFormul_OAplikaci.h"
#include "app/gui/TFrmSeznamAdresaru.h"
#include "app/gui/TFrmSeznamSouboru.h"
#include "app/gui/TPasswordDlg.h"
#include "app/gui/Tfrm_ViewLog.h"
#include "lang/qt/FormTranslation.h"
#include "platform/IniFile.h"
#include "widgets/edits/TDirectoryEdit.h"
#include "widgets/edits/TFilenameEdit.h"
#include "widgets/typed/TEditVarox.h"

#include <QLabel>
#include <QRegularExpression>
#include <filesystem>
#include <map>
#include <set>

using namespace kd;
using namespace kd::test;

namespace {

const std::string kLanguageFiles = KORDYNE_TEST_DATA_DIR "/../../resources/Lang";

using Texts = std::map<std::string, std::string>; // path -> text

Texts sectionOf(const std::string& path) {
    const IniFile file(path);
    Texts texts;
    for (const std::string& key : file.keys("Translations"))
        texts[key] = file.readString("Translations", key, "");
    return texts;
}

// Every window of the program, each shown once in the current language.
class LanguageFilesTest : public MainWindowFixture {
protected:
    LanguageFilesTest() {
        setFormFilesDirectory(files.path());
        std::filesystem::create_directories(files.file("Lang"));
        for (const char* code : {"EN", "SK"})
            std::filesystem::copy_file(kLanguageFiles + "/Transl_" + code + ".Ini",
                                       files.file(std::string("Lang/Transl_") + code + ".Ini"));
    }
    ~LanguageFilesTest() override {
        dialogs.clear();
        setFormFilesDirectory({});
        SaveTranslationMode = false;
    }

    void showEveryWindow(const std::string& language) {
        // The main window takes the language from the settings file.
        dir.write("Nastaven.txt", "LANGUAGE=" + language + "\r\n");
        open();
        dialogs.clear();
        dialogs.push_back(std::make_unique<TExtractDlg>(ui));
        dialogs.push_back(std::make_unique<TPasswordDlg>());
        dialogs.push_back(std::make_unique<TFormul_OAplikaci>());
        dialogs.push_back(std::make_unique<TFrmSeznamSouboru>(ui));
        dialogs.push_back(std::make_unique<TFrmSeznamAdresaru>(ui));
        dialogs.push_back(std::make_unique<Tfrm_ViewLog>());
        for (const auto& dialog : dialogs) {
            dialog->show();
            QCoreApplication::processEvents();
            dialog->hide();
        }
    }

    // The texts every window shows now, by path, as the translator's save writes them.
    Texts shownTexts() {
        Texts all;
        const auto save = [&](TKDTranslator& translator, const QWidget& form) {
            const std::string file = files.file("shown-" + form.objectName().toStdString());
            translator.SaveTranslation(QString::fromStdString(file), false);
            all.merge(sectionOf(file));
        };
        save(window->KD_TL(), *window);
        for (const auto& dialog : dialogs)
            save(dynamic_cast<TFrm_KD<QDialog>&>(*dialog).KD_TL(), *dialog);
        return all;
    }

    // The windows' own Czech texts, as "/save_translation" writes them.
    Texts builtInTexts() {
        SaveTranslationMode = true;
        showEveryWindow("CZ");
        SaveTranslationMode = false;
        Texts czech;
        for (const auto& entry : std::filesystem::directory_iterator(files.file("Lang")))
            if (entry.path().filename().string().starts_with("TRANSL_"))
                czech.merge(sectionOf(entry.path().string()));
        return czech;
    }

    TempDir files; // the program's directory, holding "Lang"
    std::vector<std::unique_ptr<QWidget>> dialogs;
};

bool hasLetters(const std::string& text) {
    return QString::fromStdString(text).contains(QRegularExpression("\\p{L}"));
}

} // namespace

TEST_F(LanguageFilesTest, EveryTextOfEveryWindowIsTranslatedAndEveryKeyHasItsWidget) {
    const Texts czech = builtInTexts();
    ASSERT_TRUE(czech.count("FormZalohovani.MenuProfil.Caption"));
    ASSERT_TRUE(czech.count("PasswordDlg.Label1.Caption"));

    for (const char* code : {"EN", "SK"}) {
        SCOPED_TRACE(code);
        const Texts translated = sectionOf(files.file(std::string("Lang/Transl_") + code + ".Ini"));
        // A renamed or removed widget leaves its key behind.
        for (const auto& [key, text] : translated)
            EXPECT_TRUE(czech.count(key)) << key << " has no widget";
        // Texts with letters need a translation; "..." and digits may stay as they are.
        for (const auto& [key, text] : czech) {
            if (hasLetters(text)) {
                EXPECT_TRUE(translated.count(key)) << key << "=" << text << " is not translated";
            }
        }
    }
}

TEST_F(LanguageFilesTest, CzechWindowsKeepNoEnglishText) {
    const Texts czech = builtInTexts();
    const Texts english = sectionOf(files.file("Lang/Transl_EN.Ini"));
    const Texts slovak = sectionOf(files.file("Lang/Transl_SK.Ini"));
    const auto plain = [](std::string text) {
        std::erase(text, '&');
        return text;
    };
    // A text English and Slovak share ("OK", "Kordyne", "E-mail:") belongs to no
    // language; any other English text must not stand in a Czech window.
    for (const auto& [key, text] : english) {
        const auto shown = czech.find(key);
        if (shown != czech.end() && slovak.count(key) && slovak.at(key) != text) {
            EXPECT_NE(plain(shown->second), plain(text)) << key;
        }
    }
}

TEST_F(LanguageFilesTest, WindowsShownInEnglishOrSlovakKeepNoCzechText) {
    const struct {
        const char* code;
        QRegularExpression czech; // letters the language does not write
    } languages[] = {
        {"EN", QRegularExpression("[áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ]")},
        {"SK", QRegularExpression("[ěřůĚŘŮ]")},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        showEveryWindow(language.code);
        const Texts shown = shownTexts();
        const bool english = language.code == std::string("EN");
        EXPECT_EQ(QString::fromStdString(shown.at("FormZalohovani.MenuTrideniBez.Caption")),
                  english ? "&Unsorted" : "&Bez triedenia");
        // The version label is the program's own text, in the same language.
        EXPECT_TRUE(widget<QLabel>("Version")->text().startsWith(english ? "Version:" : "Verzia:"));
        for (const auto& [key, text] : shown)
            EXPECT_FALSE(QString::fromStdString(text).contains(language.czech))
                << key << "=" << text;
    }
}

TEST_F(LanguageFilesTest, BrowseDialogsAndDataBoxesSpeakTheWindowsLanguage) {
    showEveryWindow("EN");
    // The settings page's browse edit asks with the English prompt.
    window->findChild<QAction*>("MenuNastaven1")->trigger();
    ui.chooseNext("");
    widget<TDirectoryEdit>("edt_LogZalohy")->Button()->Click();
    ASSERT_FALSE(ui.chooseCaptions.empty());
    EXPECT_EQ(ui.chooseCaptions.back(), "Find the directory for the backup logs");
    // The file list's dialog offers English kinds of files.
    const auto* fileEdit = dialogs[3]->findChild<TFilenameEdit*>("FilenameEdit1");
    ASSERT_NE(fileEdit, nullptr);
    EXPECT_EQ(fileEdit->DialogTitle(), "Find a file");
    EXPECT_NE(fileEdit->Filter().find("|Spreadsheets|*.xls|Pictures|"), std::string::npos);
    // A typed edit reports bad data in English.
    auto* size = widget<TEditVarox>("EditVelPrvDisk");
    size->setText("12x");
    ui.shown.clear();
    EXPECT_EQ(size->GetInteger(), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Invalid data format");
    EXPECT_EQ(ui.shown[0].caption, "Error");
}
