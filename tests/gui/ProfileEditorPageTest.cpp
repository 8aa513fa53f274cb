#include "MainWindowFixture.h"
#include "app/core/profiles/ProfilePassword.h"
#include "platform/DateText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QToolBar>

using namespace kd;
using namespace kd::test;

namespace {

class ProfileEditorPageTest : public MainWindowFixture {
protected:
    QLineEdit* edit(const char* name) { return widget<QLineEdit>(name); }
    void setText(const char* name, const char* text) {
        edit(name)->setText(QString::fromUtf8(text));
    }
    void pressEnter(QWidget* target) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
    }
    bool editorShows() {
        return widget<QStackedWidget>("PageControl1")->currentWidget()->objectName() ==
               "TabSheetEditNastav";
    }
};

} // namespace

TEST_F(ProfileEditorPageTest, NewProfileThroughTheEditorIsSavedListedAndEditedAgain) {
    open();
    action("ActionNovyProfil")->trigger();
    ASSERT_TRUE(editorShows());
    EXPECT_FALSE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
    EXPECT_EQ(edit("EditFiltr")->text(), "*.*");

    setText("EditOznac", "Dokumenty");
    setText("EditPopis", "Účetnictví");
    setText("EditCilZal", "/mnt/zaloha");
    setText("EditStartZal", "/home/data/");
    widget<QLineEdit>("EditPocInd")->setText("3");
    widget<QComboBox>("ComboBoxDElitArchiv")->setCurrentIndex(2);
    setText("EditVelPrvDisk", "1440000");
    widget<QComboBox>("ComboBoxDruhObdobi")->setCurrentIndex(4);
    EXPECT_EQ(widget<QLabel>("lbl_Druhobdobi")->text(), "min.");
    setText("EditObdobiAutZal", "90");
    widget<QTimeEdit>("DateTimePickerStart")->setTime(QTime(9, 30, 0));
    widget<QCheckBox>("ChBPozastavit")->setChecked(true);
    setText("EditHeslo", "abc");
    ui.inputNext("abc");
    pressEnter(edit("EditHeslo"));
    EXPECT_EQ(edit("EditHeslo")->text(), "abc");
    widget<QPushButton>("BitBtnOk")->click();

    ASSERT_FALSE(editorShows());
    EXPECT_TRUE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
    EXPECT_EQ(names(), (std::vector<std::string>{"Dokumenty"}));
    EXPECT_EQ(cell(0, 2), "/mnt/zaloha/");
    EXPECT_EQ(cell(0, 6), "Minuty");
    TObjektZal saved;
    LoadProfile(saved, dir.path(), "Dokumenty");
    EXPECT_EQ(saved.Description, "Účetnictví");
    EXPECT_EQ(saved.VersionsKept, 3);
    EXPECT_EQ(saved.SplitMode, 1);
    EXPECT_EQ(saved.FirstPartSize, 1440000);
    EXPECT_EQ(saved.PeriodKind, 4);
    EXPECT_EQ(saved.PeriodValue, 90);
    EXPECT_EQ(formatTime(saved.StartTime), "9:30:00");
    EXPECT_TRUE(saved.Paused);
    EXPECT_TRUE(saved.Recurse);
    EXPECT_EQ(decodeStoredPassword(saved.Password), "abc");

    // Edited again: the editor shows what was saved; OK without retyping the
    // confirmation keeps the password.
    window->listPage().focusRow(0);
    action("ActionOpravProfilu")->trigger();
    ASSERT_TRUE(editorShows());
    EXPECT_EQ(edit("EditOznac")->text(), "Dokumenty");
    EXPECT_EQ(edit("EditHeslo")->text(), "abc");
    EXPECT_EQ(widget<QComboBox>("ComboBoxDElitArchiv")->currentIndex(), 2);
    EXPECT_EQ(widget<QLabel>("lbl_Druhobdobi")->text(), "min.");
    setText("EditPopis", "Mzdy a účetnictví");
    widget<QPushButton>("BitBtnOk")->click();
    LoadProfile(saved, dir.path(), "Dokumenty");
    EXPECT_EQ(saved.Description, "Mzdy a účetnictví");
    EXPECT_EQ(decodeStoredPassword(saved.Password), "abc");
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ProfileEditorPageTest, CancelLeavesNoRowAndBadInputKeepsTheEditorOpen) {
    writeProfile("Mzdy");
    open();
    action("ActionNovyProfil")->trigger();
    widget<QPushButton>("BitBtnZrus")->click();
    EXPECT_FALSE(editorShows());
    EXPECT_EQ(names(), (std::vector<std::string>{"Mzdy"}));

    action("ActionNovyProfil")->trigger();
    setText("EditHeslo", "heslíčko");
    pressEnter(edit("EditHeslo"));
    EXPECT_EQ(edit("EditHeslo")->text(), "");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, passwordRuleText("CZ"));

    setText("EditOznac", "mzdy"); // another profile's name in other letter case
    widget<QPushButton>("BitBtnOk")->click();
    EXPECT_TRUE(editorShows());
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(names(), (std::vector<std::string>{"Mzdy"}));

    // Leaving a part size below 100 kB warns.
    window->editorPage().partSizeLeft(edit("EditVelDalDisk"));
    EXPECT_EQ(ui.shown.back().text, "Velikost oddílu musí být min 100 kB");
}

TEST_F(ProfileEditorPageTest, TypedFieldsCheckTheirValuesOnLeaving) {
    open();
    action("ActionNovyProfil")->trigger();
    ASSERT_TRUE(editorShows());
    window->activateWindow();
    const auto tabFrom = [](QWidget* field) {
        field->setFocus();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &tab);
        QCoreApplication::processEvents();
    };

    // More versions than the profile holds are brought to the bound, not cut.
    QLineEdit* versions = edit("EditPocInd");
    versions->setText("1500");
    tabFrom(versions);
    EXPECT_EQ(versions->text(), "255");

    // A part size that is no number is refused and keeps the focus; a small one warns.
    QLineEdit* firstPart = edit("EditVelPrvDisk");
    setText("EditVelPrvDisk", "12x");
    const std::size_t before = ui.shown.size();
    tabFrom(firstPart);
    ASSERT_EQ(ui.shown.size(), before + 1);
    EXPECT_EQ(ui.shown.back().text, " Chybný formát dat ");
    EXPECT_TRUE(firstPart->hasFocus());
    setText("EditVelPrvDisk", "5000");
    tabFrom(firstPart);
    ASSERT_EQ(ui.shown.size(), before + 2);
    EXPECT_EQ(ui.shown.back().text, "Velikost oddílu musí být min 100 kB");
    EXPECT_FALSE(firstPart->hasFocus());

    // Enter moves on from the name, the name itself is kept as typed.
    setText("EditOznac", "  Fotky ");
    edit("EditOznac")->setFocus();
    pressEnter(edit("EditOznac"));
    EXPECT_FALSE(edit("EditOznac")->hasFocus());
    EXPECT_EQ(edit("EditOznac")->text(), "  Fotky ");
}

TEST_F(ProfileEditorPageTest, ANewProfileTakesNothingFromTheProfileShownBefore) {
    dir.write("Nastaven.txt", "INIT_DEST_DIR=/mnt/zaloha\r\n");
    TObjektZal shown;
    shown.Name = "Mzdy";
    shown.ExcludedDirs = "/data/tmp;/data/cache";
    shown.ExcludedMasks = "*.bak";
    shown.ArchiveBitOnly = shown.ResetArchiveBit = shown.NewArchive = shown.SelfExtract = true;
    shown.VersionsKept = 4;
    SaveProfile(shown, dir.path());
    open();
    window->listPage().focusRow(0);
    action("ActionOpravProfilu")->trigger();
    EXPECT_EQ(edit("edt_NeklAdresar")->text(), "/data/tmp;/data/cache");
    widget<QPushButton>("BitBtnZrus")->click();

    action("ActionNovyProfil")->trigger();
    ASSERT_TRUE(editorShows());
    ProfileEditorValues defaults;
    defaults.targetDir = window->settings().InitDestDir;
    defaults.masks = "*.*";
    defaults.recurse = true;
    const ProfileEditorValues values = window->editorPage().values();
    defaults.startTime = values.startTime; // the time of day the picker shows
    defaults.versions = values.versions;   // the spin edit's own empty text
    EXPECT_EQ(values, defaults);
}

TEST_F(ProfileEditorPageTest, AConfirmationThatDiffersSaysSoInTheProgramsLanguage) {
    for (const std::string code : {"CZ", "EN", "SK"}) {
        dir.write("Nastaven.txt", "LANGUAGE=" + code + "\r\n");
        open();
        const std::string said = ResourceStrings.GetText(11047);
        EXPECT_NE(said.find(code == "EN" ? "password" : "hesl"), std::string::npos) << code;
        action("ActionNovyProfil")->trigger();
        setText("EditHeslo", "abc");
        ui.inputNext("abd");
        pressEnter(edit("EditHeslo"));
        EXPECT_EQ(edit("EditHeslo")->text(), "");
        ASSERT_EQ(ui.shown.size(), 1u) << code;
        EXPECT_EQ(ui.shown[0].text, said);
        ui.shown.clear();
    }
}
