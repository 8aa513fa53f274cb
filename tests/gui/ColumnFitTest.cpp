#include "ChildProcess.h"
#include "MainWindowFixture.h"
#include "app/core/logs/LastRunStamp.h"
#include "app/gui/ContentsPage.h"
#include "app/gui/TExtractDlg.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>

using namespace kd;
using namespace kd::test;

namespace {

// A window whose profile has long texts in every column and whose archive holds a
// file with a long name and an eight-digit size.
class ColumnFitTest : public MainWindowFixture {
protected:
    ColumnFitTest() {
        dir.write("src/Účetnictví a daňová přiznání/Přehled nákladů a výnosů 2026.ods",
                  std::string(12345678, '\0'));
        EXPECT_EQ(0, runCommand("mkdir '" + dir.file("target") + "' && cd '" + dir.file("src") +
                                "' && zip -qr '" + dir.file("target/Účetnictví-měsíční1.zip") +
                                "' ."));
        TObjektZal record;
        record.Name = "Účetnictví-měsíční";
        record.Description = "Měsíční uzávěrka účetnictví a mzdových podkladů";
        record.SourceDir = dir.file("src") + "/";
        record.TargetDir = dir.file("target") + "/";
        record.Masks = "*.ods;*.odt;*.pdf;*.xlsx;*.docx";
        record.VersionsKept = 120;
        record.PeriodKind = 3;
        record.PeriodValue = 28;
        SaveProfile(record, dir.path());
        WriteLastRun(dir.path(), record.Name, encodeDateTime({2026, 12, 28, 23, 59, 58, 0}));
    }

    // Every header caption and every cell is shown whole: its column is as wide as the
    // view's delegate needs to draw the text without eliding it.
    static void expectNothingElided(QTreeView& view) {
        const QHeaderView& header = *view.header();
        const QAbstractItemModel& model = *view.model();
        ASSERT_GT(model.rowCount(), 0);
        for (int column = 0; column < header.count(); ++column) {
            const QString caption = model.headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(header.sectionSize(column), header.sectionSizeHint(column))
                << caption.toStdString();
            for (int row = 0; row < model.rowCount(); ++row) {
                const QModelIndex index = model.index(row, column);
                EXPECT_GE(view.columnWidth(column), view.sizeHintForIndex(index).width())
                    << caption.toStdString() << ": " << index.data().toString().toStdString();
            }
        }
        EXPECT_TRUE(header.stretchLastSection());
    }
};

TEST_F(ColumnFitTest, NoColumnIsElidedOnFirstShow) {
    open();
    expectNothingElided(*window->findChild<QTreeView*>("ListSeznamZal"));

    window->listPage().focusRow(0);
    action("ActionInformaceOZalohovani")->trigger();
    expectNothingElided(*window->contentsPage().ListBoxInfo());
}

TEST_F(ColumnFitTest, ExtractionDialogShowsTheWholeDestination) {
    TExtractDlg dialog(ui);
    ExtractOptions options;
    // Not below the temporary directory: a long one would make any path too long to show.
    options.destDir = "/home/jana/Účetnictví a daňová přiznání/2026/prosinec";
    dialog.setOptions(options);
    dialog.show();
    QCoreApplication::processEvents();
    QLineEdit& destination = *dialog.findChild<QLineEdit*>("DestDir");
    // With the cursor at the end the text does not scroll: the whole path is in view.
    destination.setCursorPosition(static_cast<int>(destination.text().size()));
    const int cursorX = destination.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    EXPECT_GE(cursorX, destination.fontMetrics().horizontalAdvance(destination.text()));
    EXPECT_LE(cursorX, destination.width());
}

} // namespace
