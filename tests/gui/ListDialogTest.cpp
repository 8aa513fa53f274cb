#include "GuiApplication.h"
#include "MainWindowFixture.h"
#include "app/gui/ListText.h"
#include "app/gui/TFrmSeznamAdresaru.h"
#include "app/gui/TFrmSeznamSouboru.h"
#include "widgets/edits/TDirectoryEdit.h"
#include "widgets/edits/TFilenameEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

using Lines = std::vector<std::string>;

void pressKey(QWidget* target, Qt::Key key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

TEST(ListTextTest, SplitAndJoinRoundTripSeparatorsInsideLines) {
    EXPECT_EQ(splitListText("*.txt;*.doc"), (Lines{"*.txt", "*.doc"}));
    EXPECT_EQ(joinListText({"*.txt", "*.doc"}), "*.txt;*.doc");
    EXPECT_EQ(splitListText(""), Lines{});
    EXPECT_EQ(joinListText({}), "");
    // A trailing single ";" ends the last line and starts no new one.
    EXPECT_EQ(splitListText("a;b;"), (Lines{"a", "b"}));
    EXPECT_EQ(splitListText("a;;b"), (Lines{"a;b"}));

    for (const Lines& lines : {Lines{"a;b", "c"}, Lines{"x;", "y"}, Lines{"one"}, Lines{"a;;b"}})
        EXPECT_EQ(splitListText(joinListText(lines)), lines) << joinListText(lines);
}

TEST(ListTextTest, TheFileNamePartFollowsTheLastSeparator) {
    EXPECT_EQ(fileNamePart("/home/u/data/*.txt"), "*.txt");
    EXPECT_EQ(fileNamePart("C:\\Data\\*.doc"), "*.doc");
    EXPECT_EQ(fileNamePart("D:*.xls"), "*.xls");
    EXPECT_EQ(fileNamePart("*.jpg"), "*.jpg");
}

class ListDialogTest : public ::testing::Test {
protected:
    ListDialogTest() { ensureApplication(); }

    static Lines lines(const TListDialog& dialog) {
        Lines result;
        for (int i = 0; i < dialog.ListBox1->count(); ++i)
            result.push_back(dialog.ListBox1->item(i)->text().toStdString());
        return result;
    }
    static void selectLine(TListDialog& dialog, int row) {
        dialog.ListBox1->setCurrentRow(row);
        dialog.ListBox1->item(row)->setSelected(true);
    }

    ScriptedUiHost ui;
};

TEST_F(ListDialogTest, UnchangedListComesBackAsItWentInAndCancelKeepsIt) {
    TFrmSeznamSouboru dialog(ui);
    dialog.ListText = "*.txt;*.doc;a;;b";
    dialog.show();
    EXPECT_EQ(lines(dialog), (Lines{"*.txt", "*.doc", "a;b"}));
    dialog.accept();
    EXPECT_EQ(dialog.ListText, "*.txt;*.doc;a;;b");

    dialog.show();
    selectLine(dialog, 0);
    dialog.BtnDeleteClick();
    dialog.reject();
    EXPECT_EQ(dialog.ListText, "*.txt;*.doc;a;;b");
}

TEST_F(ListDialogTest, EnterAddsTheInputsFileNameAndKeepsTheDialogOpen) {
    TFrmSeznamSouboru dialog(ui);
    dialog.ListText = "*.txt";
    dialog.open();
    dialog.FilenameEdit1->setText("/home/user/docs/*.odt");
    pressKey(dialog.FilenameEdit1, Qt::Key_Return, "\r");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.FilenameEdit1->text().isEmpty());
    // An empty input adds nothing.
    pressKey(dialog.FilenameEdit1, Qt::Key_Enter, "\r");
    EXPECT_EQ(lines(dialog), (Lines{"*.txt", "*.odt"}));
    dialog.accept();
    EXPECT_EQ(dialog.ListText, "*.txt;*.odt");
}

TEST_F(ListDialogTest, DirectoryDialogAddsTheWholeInput) {
    TFrmSeznamAdresaru dialog(ui);
    dialog.show();
    dialog.FilenameEdit1->setText("/home/user/tmp");
    dialog.BtnAdd->click();
    EXPECT_EQ(lines(dialog), Lines{"/home/user/tmp"});
    EXPECT_EQ(dialog.FilenameEdit1->text(), "/home/user/tmp");
}

TEST_F(ListDialogTest, DotAndDeleteKeysDeleteTheSelectedLineOnly) {
    TFrmSeznamAdresaru dialog(ui);
    dialog.ListText = "a;b;c";
    dialog.show();
    selectLine(dialog, 1);
    pressKey(dialog.ListBox1, Qt::Key_Period, ".");
    EXPECT_EQ(lines(dialog), (Lines{"a", "c"}));
    selectLine(dialog, 0);
    pressKey(dialog.ListBox1, Qt::Key_Delete);
    EXPECT_EQ(lines(dialog), Lines{"c"});
    dialog.ListBox1->clearSelection();
    dialog.BtnDeleteClick();
    EXPECT_EQ(lines(dialog), Lines{"c"});
}

TEST_F(ListDialogTest, DirectoryBrowseStartsInTheGivenDirectoryAndEnterAddsTheChoice) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("cache"));
    WindowUiHost host;
    TFrmSeznamAdresaru dialog(host);
    dialog.setInitialDirectory(dir.path());
    dialog.open();
    EXPECT_EQ(dialog.findChildren<TDirectoryEdit*>("FilenameEdit1").size(), 1);
    host.chooseNext(dir.file("cache"));
    dialog.FilenameEdit1->Button()->Click();
    EXPECT_EQ(host.chooseStarts, Lines{dir.path()});
    EXPECT_EQ(dialog.FilenameEdit1->text().toStdString(), dir.file("cache"));
    pressKey(dialog.FilenameEdit1, Qt::Key_Return, "\r");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(lines(dialog), Lines{dir.file("cache")});
    // Escape stays the dialog's: it cancels.
    pressKey(dialog.FilenameEdit1, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ListDialogTest, MaskBrowseOffersTheMaskFilterAndAddsTheChosenFileName) {
    WindowUiHost host;
    TFrmSeznamSouboru dialog(host);
    dialog.setInitialDirectory("/srv/data");
    dialog.open();
    EXPECT_EQ(dialog.findChildren<TFilenameEdit*>("FilenameEdit1").size(), 1);
    host.chooseNext("/srv/data/report.rtf");
    dialog.FilenameEdit1->Button()->Click();
    ASSERT_EQ(host.chooseStarts.size(), 1U);
    EXPECT_EQ(host.chooseStarts[0].rfind("/srv/data", 0), 0U) << host.chooseStarts[0];
    EXPECT_EQ(host.fileFilters,
              Lines{"Všechny soubory (*);;Dokumenty (*.doc *.rtf);;Tabulky (*.xls);;"
                    "Bitmapy (*.jpg *.gif *.bmp)"});
    pressKey(dialog.FilenameEdit1, Qt::Key_Enter, "\r");
    EXPECT_EQ(lines(dialog), Lines{"report.rtf"});
    EXPECT_TRUE(dialog.isVisible());
}

class EditorListTest : public MainWindowFixture {
protected:
    // Answers the modal list dialog once it shows.
    template <class Answer> void whenDialogShows(Answer answer) {
        QTimer::singleShot(0, window.get(), [answer] {
            auto* dialog = qobject_cast<TListDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
        });
    }
};

TEST_F(EditorListTest, DotsButtonsEditTheFieldsThroughTheDialogs) {
    open();
    action("ActionNovyProfil")->trigger();
    widget<QLineEdit>("EditStartZal")->setText("/srv/src");
    widget<QLineEdit>("EditFiltr")->setText("*.txt");
    std::string shownList;
    whenDialogShows([&](TListDialog& dialog) {
        shownList = dialog.ListText;
        dialog.FilenameEdit1->setText("/srv/src/*.csv");
        dialog.BtnAddClick();
        dialog.accept();
    });
    widget<QToolButton>("SpdBtnFiltrSoub")->click();
    EXPECT_EQ(shownList, "*.txt");
    EXPECT_EQ(widget<QLineEdit>("EditFiltr")->text(), "*.txt;*.csv");

    widget<QLineEdit>("edt_NeklAdresar")->setText("tmp");
    std::filesystem::create_directories(dir.file("src/cache"));
    widget<QLineEdit>("EditStartZal")->setText(QString::fromStdString(dir.file("src")));
    ui.chooseNext(dir.file("src/cache"));
    whenDialogShows([&](TListDialog& dialog) {
        dialog.FilenameEdit1->Button()->Click();
        dialog.BtnAddClick();
        dialog.reject();
    });
    widget<QToolButton>("btn_NeuklAdresar")->click();
    EXPECT_EQ(ui.chooseStarts, Lines{dir.file("src")});
    EXPECT_EQ(widget<QLineEdit>("edt_NeklAdresar")->text(), "tmp");
}

} // namespace
