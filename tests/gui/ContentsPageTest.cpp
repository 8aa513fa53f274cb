#include "app/gui/ContentsPage.h"
#include "ChildProcess.h"
#include "MainWindowFixture.h"
#include "ProgramCopy.h"
#include "TestPaths.h"
#include "app/core/logs/RunLogs.h"
#include "app/gui/TExtractDlg.h"
#include "platform/AtomicFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <gmock/gmock.h>

using namespace kd;
using namespace kd::test;

namespace {

namespace fs = std::filesystem;

// A window whose profile "Data" has its source tree src/ zipped as target/Data1.zip.
class ContentsPageTest : public MainWindowFixture {
protected:
    ContentsPageTest() {
        dir.write("src/b.txt", "bee\n");
        dir.write("src/sub/a.txt", "ay\n");
        dir.write("src/c.log", "sea\n");
        EXPECT_EQ(0, runCommand("cd '" + dir.file("src") +
                                "' && zip -qr ../Data1.zip . && "
                                "mkdir ../target && mv ../Data1.zip ../target/"));
        TObjektZal record;
        record.Name = "Data";
        record.SourceDir = dir.file("src") + "/";
        record.TargetDir = dir.file("target") + "/";
        record.VersionsKept = 2;
        SaveProfile(record, dir.path());
    }
    void openContents() {
        open();
        window->listPage().focusRow(0);
        action("ActionInformaceOZalohovani")->trigger();
    }
    QTreeView& list() { return *window->contentsPage().ListBoxInfo(); }
    std::vector<std::string> shownNames() {
        std::vector<std::string> names;
        for (int row = 0; row < list().model()->rowCount(); ++row)
            names.push_back(list().model()->index(row, 0).data().toString().toStdString());
        return names;
    }
};

TEST_F(ContentsPageTest, ShowsTheNewestArchiveSortsItAndReturns) {
    openContents();
    EXPECT_EQ(widget<QStackedWidget>("PageControl1")->currentWidget(), &window->contentsPage());
    EXPECT_FALSE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
    EXPECT_EQ(widget<QLabel>("LabelIndex")->text(), "1");
    EXPECT_EQ(list().header()->objectName(), "Header1");
    EXPECT_EQ(list().header()->sectionSize(7), 154);
    EXPECT_EQ(shownNames().size(), 4u); // three files and sub/

    action("MenuTrideniJmeno")->trigger();
    EXPECT_TRUE(action("MenuTrideniJmeno")->isChecked());
    EXPECT_FALSE(action("MenuTrideniBez")->isChecked());
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"", "a.txt", "b.txt", "c.log"}));

    widget<QPushButton>("ButtonOkInfo")->click();
    EXPECT_TRUE(window->profilePageActive());
    EXPECT_TRUE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
}

TEST_F(ContentsPageTest, TheCzechPageHasCzechCaptionsAndTheProgramsDates) {
    openContents();
    QStringList captions;
    for (int column = 0; column < list().model()->columnCount(); ++column)
        captions << list().model()->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(captions.join('|'),
              QString::fromUtf8("Soubor|Datum|Čas|Velikost|Komprim.|Poměr|Metoda|Cesta|Disk č."));
    EXPECT_EQ(widget<QPushButton>("ButtonExtract")->text(), "Rozbalit");
    EXPECT_EQ(window->extractDialog().windowTitle(), "Rozbalit soubory");
    // Day.month.year and a 24-hour time, as the archive's own date above the list.
    const QString date = list().model()->index(0, 1).data().toString();
    const QString time = list().model()->index(0, 2).data().toString();
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}\\.\\d{1,2}\\.\\d{4}$").match(date).hasMatch())
        << date.toStdString();
    EXPECT_TRUE(QRegularExpression("^\\d{1,2}:\\d{2}$").match(time).hasMatch())
        << time.toStdString();
}

TEST_F(ContentsPageTest, ExtractsTheSelectedRowsWithTheDialogsOptions) {
    openContents();
    action("MenuTrideniJmeno")->trigger();
    list().selectionModel()->select(list().model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    TExtractDlg& dialog = window->extractDialog();
    bool selectedOffered = false;
    bool directoriesOffered = false;
    QTimer::singleShot(0, &dialog, [&] {
        selectedOffered = dialog.findChild<QRadioButton*>("SelectedFiles")->isChecked();
        directoriesOffered = dialog.findChild<QCheckBox*>("RecreateDir")->isChecked();
        dialog.findChild<QLineEdit*>("DestDir")->setText(QString::fromStdString(dir.file("out")));
        dialog.findChild<QComboBox*>("Overwrite")->setCurrentIndex(0);
        dialog.accept();
    });
    widget<QPushButton>("ButtonExtract")->click();
    EXPECT_TRUE(selectedOffered);
    EXPECT_TRUE(directoriesOffered); // a tree comes back as a tree unless asked otherwise
    EXPECT_TRUE(fs::exists(dir.file("out/sub/a.txt")));
    EXPECT_FALSE(fs::exists(dir.file("out/b.txt")));
    EXPECT_EQ(window->zipEngine().OverwriteMode(), TUZOverwriteMode::Always);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Obnova je dokončena.\nObnoveno souborů: 1\n"
                                "Nepodařilo se obnovit: 0\nPonecháno stávajících souborů: 0");
}

// Two files of one name in two folders, extracted without their folders: the second
// never replaces the first, and the box and the log say so.
TEST_F(ContentsPageTest, FlatExtractionNeverLetsOneFileReplaceAnother) {
    dir.write("src/sub/b.txt", "another bee\n");
    ASSERT_EQ(0, runCommand("cd '" + dir.file("src") + "' && rm ../target/Data1.zip && " +
                            "zip -qr ../target/Data1.zip b.txt sub"));
    openContents();
    TExtractDlg& dialog = window->extractDialog();
    QTimer::singleShot(0, &dialog, [&] {
        dialog.findChild<QLineEdit*>("DestDir")->setText(QString::fromStdString(dir.file("flat")));
        dialog.findChild<QComboBox*>("Overwrite")->setCurrentText(QString::fromUtf8("Vždy"));
        dialog.findChild<QCheckBox*>("RecreateDir")->setChecked(false);
        dialog.accept();
    });
    widget<QPushButton>("ButtonExtract")->click();
    EXPECT_EQ(readWholeFile(dir.file("flat/b.txt")), "bee\n"); // the first one stays
    EXPECT_EQ(readWholeFile(dir.file("flat/a.txt")), "ay\n");
    ASSERT_EQ(ui.shown.size(), 1u);
    const std::string why = "soubor stejného jména už tato obnova zapsala, nepřepisuje se";
    EXPECT_THAT(ui.shown[0].text, ::testing::HasSubstr("Nepodařilo se obnovit: 1\n"
                                                       "Ponecháno stávajících souborů: 0\n" +
                                                       dir.file("flat/b.txt") + ": " + why));
    EXPECT_THAT(readWholeFile(dir.file("Data.log")),
                ::testing::HasSubstr(run_log::padRight(dir.file("flat/b.txt"), 40) +
                                     "       nelze obnovit: " + why));
}

TEST_F(ContentsPageTest, ExtractionKeepingFilesSaysSo) {
    openContents();
    TExtractDlg& dialog = window->extractDialog();
    QTimer::singleShot(0, &dialog, [&] {
        dialog.findChild<QLineEdit*>("DestDir")->setText(QString::fromStdString(dir.file("src")));
        dialog.findChild<QComboBox*>("Overwrite")->setCurrentText("Nikdy");
        dialog.findChild<QCheckBox*>("RecreateDir")->setChecked(true);
        dialog.accept();
    });
    widget<QPushButton>("ButtonExtract")->click();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Obnova je dokončena.\nObnoveno souborů: 0\n"
                                "Nepodařilo se obnovit: 0\nPonecháno stávajících souborů: 3");
}

TEST_F(ContentsPageTest, RestoreActionEndsWithItsClosingBox) {
    countRuns = false;
    open();
    fs::remove(dir.file("src/b.txt"));
    window->listPage().focusRow(0);
    ui.answerNext(MsgAnswer::Yes);
    action("ActionObnovitData")->trigger();
    EXPECT_TRUE(fs::exists(dir.file("src/b.txt")));
    ASSERT_EQ(ui.shown.size(), 2u); // the question, then how the restore ended
    EXPECT_EQ(ui.shown[1].text, "Obnova je dokončena.\nObnoveno souborů: 3\n"
                                "Nepodařilo se obnovit: 0\nPonecháno stávajících souborů: 0");
    EXPECT_TRUE(widget<QToolBar>("ToolBarBrowse")->isEnabled());
}

TEST_F(ContentsPageTest, RestoreSwitchRestoresAndTheProgramEnds) {
    fs::remove(dir.file("src/b.txt"));
    dir.write("src/sub/a.txt", "changed\n");
    const ProgramCopy program(dir.path());
    ChildProcess process(program.path(), {program.path(), "o", "data"},
                         {"XDG_CONFIG_HOME=" + config.path(), "QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(process.waitForExit(), 0);
    EXPECT_TRUE(fs::exists(dir.file("src/b.txt")));
    std::string restored;
    runCommand("cat '" + dir.file("src/sub/a.txt") + "'", &restored);
    EXPECT_EQ(restored, "ay\n");
    EXPECT_TRUE(fs::exists(dir.file("Data.log")));
}

} // namespace
