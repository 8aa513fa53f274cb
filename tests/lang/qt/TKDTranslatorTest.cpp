#include "lang/qt/TKDTranslator.h"
#include "lang/support/QtApplication.h"
#include "platform/Exception.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace kd;

namespace {

// A main window like the program's: texts at several depths below unnamed widgets,
// data that is no text of the interface, and a dialog of its own.
struct Form {
    Form() {
        window.setObjectName("FormZalohovani");
        window.setWindowTitle("Kordyne");
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        auto* box = new QGroupBox("Skupina", central);
        box->setObjectName("GroupBox1");
        layout->addWidget(box);
        auto* inner = new QVBoxLayout(box);
        label = new QLabel("Popis", box);
        label->setObjectName("Label1");
        label->setToolTip("Nápověda");
        inner->addWidget(label);
        empty = new QLabel(box);
        empty->setObjectName("LabelEmpty");
        combo = new QComboBox(central);
        combo->setObjectName("ComboBoxDruhObdobi");
        combo->addItems({"dny", "týdny, měsíce"});
        edit = new QLineEdit("C:\\Data", central);
        edit->setObjectName("EditAdresar");
        data = new QLabel("1.2.3", central);
        data->setObjectName("Version");
        data->setProperty("kdData", true);
        tree = new QTreeWidget(central);
        tree->setObjectName("ListSeznamZal");
        tree->setHeaderLabels({"Název", "Cíl"});
        window.setCentralWidget(central);
        menu = window.menuBar()->addMenu("&Profil");
        menu->setObjectName("MenuProfil");
        action = menu->addAction("&Nový profil");
        action->setObjectName("ActionNovyProfil");
        dialog = new QDialog(&window);
        dialog->setObjectName("ExtractDlg");
        dialog->setWindowTitle("Rozbalit");
        auto* dialogLabel = new QLabel("Kam", dialog);
        dialogLabel->setObjectName("Label1");
    }

    QMainWindow window;
    QLabel *label, *empty, *data;
    QComboBox* combo;
    QLineEdit* edit;
    QTreeWidget* tree;
    QMenu* menu;
    QAction* action;
    QDialog* dialog;
    TKDTranslator* translator = new TKDTranslator(&window);
};

class TKDTranslatorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQtApplication(); }
    test::TempDir dir;
    Form form;
};

} // namespace

TEST_F(TKDTranslatorTest, SavesExactlyTheTextsOfTheInterface) {
    const std::string file = dir.file("TRANSL_FormZalohovani.ini");
    form.translator->SaveTranslation(QString::fromStdString(file), true);
    const IniFile ini(file);
    EXPECT_EQ(ini.keys("Translations"),
              (std::vector<std::string>{
                  "FormZalohovani.Caption", "FormZalohovani.GroupBox1.Caption",
                  "FormZalohovani.Label1.Caption", "FormZalohovani.Label1.Hint",
                  "FormZalohovani.ComboBoxDruhObdobi.Items",
                  "FormZalohovani.ListSeznamZal.Columns.0.Caption",
                  "FormZalohovani.ListSeznamZal.Columns.1.Caption",
                  "FormZalohovani.MenuProfil.Caption", "FormZalohovani.ActionNovyProfil.Caption"}));
    EXPECT_EQ(ini.readString("Translations", "FormZalohovani.ComboBoxDruhObdobi.Items"),
              "dny,týdny,, měsíce");
    EXPECT_FALSE(form.translator->Active());
    EXPECT_TRUE(form.translator->LanguageFile().isEmpty());

    // The second save keeps the first file as ".bak".
    form.label->setText("Jiný popis");
    form.translator->SaveTranslation(QString::fromStdString(file), true);
    EXPECT_EQ(IniFile(dir.file("TRANSL_FormZalohovani.bak"))
                  .readString("Translations", "FormZalohovani.Label1.Caption"),
              "Popis");
    EXPECT_EQ(IniFile(file).readString("Translations", "FormZalohovani.Label1.Caption"),
              "Jiný popis");
}

TEST_F(TKDTranslatorTest, ReadsTheLanguageFileAndLeavesDataAndOtherFormsAlone) {
    const std::string file =
        dir.write("Transl_EN.Ini", "[Translations]\n"
                                   "formzalohovani.caption=Kordyne backup\n"
                                   "FormZalohovani.Label1.Caption=Description\n"
                                   "FormZalohovani.Label1.Hint=\n"
                                   "FormZalohovani.ComboBoxDruhObdobi.Items=days,weeks,, months\n"
                                   "FormZalohovani.ListSeznamZal.Columns.1.Caption=Target\n"
                                   "FormZalohovani.MenuProfil.Caption=&Profile\n"
                                   "FormZalohovani.EditAdresar.Caption=X\n"
                                   "FormZalohovani.Version.Caption=X\n"
                                   "FormZalohovani.Label1.Caption=second\n"
                                   "FormZalohovani.ExtractDlg.Caption=X\n"
                                   "ExtractDlg.Caption=X\n"
                                   "[Messages]\n"
                                   "Hotovo=Done\n");
    form.translator->setLanguageFile(QString::fromStdString(file));
    form.translator->TranslateOwner();
    EXPECT_EQ(form.window.windowTitle(), "Kordyne backup");
    EXPECT_EQ(form.label->text(), "Description");
    EXPECT_EQ(form.label->toolTip(), "");
    EXPECT_EQ(form.combo->itemText(1), "weeks, months");
    EXPECT_EQ(form.tree->headerItem()->text(0), "Název");
    EXPECT_EQ(form.tree->headerItem()->text(1), "Target");
    EXPECT_EQ(form.menu->title(), "&Profile");
    EXPECT_EQ(form.edit->text(), "C:\\Data");
    EXPECT_EQ(form.data->text(), "1.2.3");
    EXPECT_EQ(form.dialog->windowTitle(), "Rozbalit");
    EXPECT_EQ(form.translator->TranslateMsg("Hotovo"), "Done");
    EXPECT_EQ(form.translator->TranslateMsg("Jinak"), "Jinak");
}

TEST_F(TKDTranslatorTest, TranslatesOnlyTheListedPathsAndOnlyWhatTheFormOwns) {
    const std::string file = dir.write("t.ini", "[Translations]\n"
                                                "FormZalohovani.Caption=Backup\n"
                                                "FormZalohovani.Label1.Caption=Description\n"
                                                "FormZalohovani.ComboBoxDruhObdobi.Items=a,b\n");
    form.translator->setLanguageFile(QString::fromStdString(file));
    form.translator->setProperties({"FormZalohovani.Caption"});
    // A component of another form reached during the walk is passed over.
    QLabel* foreign = form.dialog->findChild<QLabel*>("Label1");
    form.translator->OnTranslatePropInstance = [foreign](TkdCustomTranslator& sender, TextObject&) {
        sender.Translate(foreign);
    };
    form.translator->OnTranslateProp = nullptr;
    form.translator->TranslateOwner();
    EXPECT_EQ(form.window.windowTitle(), "Backup");
    EXPECT_EQ(form.label->text(), "Popis");
    EXPECT_EQ(form.combo->itemText(0), "dny");
    EXPECT_EQ(foreign->text(), "Kam");
}

TEST_F(TKDTranslatorTest, AChoiceListWithAnotherNumberOfLinesIsNotTaken) {
    const std::string file = dir.write(
        "t.ini", "[Translations]\nFormZalohovani.ComboBoxDruhObdobi.Items=days,weeks,months\n");
    form.combo->setCurrentIndex(1);
    form.translator->setLanguageFile(QString::fromStdString(file));
    form.translator->TranslateOwner();
    EXPECT_EQ(form.combo->count(), 2);
    EXPECT_EQ(form.combo->itemText(0), "dny");
    EXPECT_EQ(form.combo->currentIndex(), 1);
}

TEST_F(TKDTranslatorTest, AFailedSaveIsReportedAndRestoresTheTranslator) {
    const std::string other =
        dir.write("Transl_EN.Ini", "[Translations]\nFormZalohovani.Caption=B\n");
    form.translator->setLanguageFile(QString::fromStdString(other));
    form.translator->setActive(true);
    EXPECT_THROW(form.translator->SaveTranslation(
                     QString::fromStdString(dir.file("missing/TRANSL_FormZalohovani.ini")), true),
                 Exception);
    EXPECT_TRUE(form.translator->Active());
    EXPECT_EQ(form.translator->LanguageFile().toStdString(), other);
    form.translator->TranslateOwner();
    EXPECT_EQ(form.window.windowTitle(), "B");
}
