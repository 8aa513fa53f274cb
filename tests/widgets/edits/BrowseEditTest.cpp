#include "support/TempDir.h"
#include "widgets/edits/EditGlyphs.h"
#include "widgets/edits/FileNameText.h"
#include "widgets/edits/TDirectoryEdit.h"
#include "widgets/edits/TFilenameEdit.h"
#include "widgets/support/WidgetsApplication.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kd {
namespace {

// Answers the choosers from a queue and records how each was opened.
class ChooserHost : public SilentUiHost {
public:
    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override {
        return answer(caption, start, "");
    }
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter) override {
        return answer(caption, start, filter);
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> captions, starts, filters;

private:
    std::optional<std::string> answer(const std::string& caption, const std::string& start,
                                      const std::string& filter) {
        captions.push_back(caption);
        starts.push_back(start);
        filters.push_back(filter);
        if (answers.empty())
            return std::nullopt;
        auto next = answers.front();
        answers.pop_front();
        return next;
    }
};

struct BrowseEditTest : ::testing::Test {
    BrowseEditTest() {
        test::ensureApplication();
        for (const char* sub : {"a", "b", "c"})
            std::filesystem::create_directory(dir.file(sub));
        std::ofstream(dir.file("a/file.txt")) << "x";
    }
    void key(QWidget* widget, QKeyCombination combination) {
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(widget, &press);
    }
    test::TempDir dir;
    ChooserHost ui;
};

TEST_F(BrowseEditTest, DirectoryDialogStartsAtAnExistingDirectoryAndListModePrepends) {
    TDirectoryEdit edit(ui);
    edit.Button()->Click(); // empty text, no initial directory
    edit.setText("/no/such/dir");
    edit.Button()->Click();
    EXPECT_EQ(ui.starts, (std::vector<std::string>{"/", "/"}));
    EXPECT_EQ(edit.text(), "/no/such/dir"); // cancelled: unchanged

    edit.setMultipleDirs(true);
    edit.setText(QString::fromStdString(dir.file("a")));
    ui.answers.push_back(dir.file("b"));
    edit.Button()->Click();
    EXPECT_EQ(edit.text().toStdString(), dir.file("b") + ";" + dir.file("a"));
    EXPECT_EQ(edit.InitialDir(), dir.file("b"));

    edit.selectAll(); // a chosen name replaces the selection
    ui.answers.push_back(dir.file("c"));
    edit.Button()->Click();
    EXPECT_EQ(edit.text().toStdString(), dir.file("c"));
}

TEST_F(BrowseEditTest, DialogEventsCanCancelAndRewriteTheName) {
    TDirectoryEdit edit(ui);
    edit.setText(QString::fromStdString(dir.file("a")));
    std::vector<std::string> order;
    edit.OnButtonClick = [&](TCustomComboEdit&) { order.push_back("click"); };
    edit.OnBeforeDialog = [&](TFileDirEdit&, std::string& name, bool& action) {
        order.push_back("before " + name);
        action = false;
    };
    edit.Button()->Click();
    EXPECT_TRUE(ui.starts.empty());
    EXPECT_EQ(order, (std::vector<std::string>{"click", "before " + dir.file("a")}));

    edit.OnBeforeDialog = [&](TFileDirEdit&, std::string& name, bool&) { name = dir.file("b"); };
    edit.OnAfterDialog = [&](TFileDirEdit&, std::string& name, bool& action) {
        EXPECT_FALSE(action); // cancelled
        name = dir.file("c");
        action = true;
    };
    edit.Button()->Click();
    EXPECT_EQ(ui.starts, (std::vector<std::string>{dir.file("b")}));
    EXPECT_EQ(edit.text().toStdString(), dir.file("c"));
}

TEST_F(BrowseEditTest, ClickKeyReadOnlyAndZeroWidthButton) {
    TDirectoryEdit edit(ui);
    edit.setClickKey(QKeyCombination(Qt::Key_F3));
    key(&edit, Qt::Key_F3);
    EXPECT_EQ(ui.starts.size(), 1u);
    edit.setReadOnly(true);
    key(&edit, Qt::Key_F3);
    edit.Button()->Click();
    EXPECT_EQ(ui.starts.size(), 1u);

    edit.setReadOnly(false);
    edit.setDirectInput(false); // typing refused, the button still works
    EXPECT_TRUE(edit.isReadOnly());
    edit.Button()->Click();
    EXPECT_EQ(ui.starts.size(), 2u);
    edit.setButtonWidth(0);
    key(&edit, Qt::Key_F3);
    EXPECT_EQ(ui.starts.size(), 2u);
}

TEST_F(BrowseEditTest, DroppedNamesTakeTheFirstOrPrependAll) {
    TDirectoryEdit edit(ui);
    const std::vector<std::string> names{dir.file("a"), dir.file("b"), dir.file("c")};
    int drops = 0;
    edit.OnDropFiles = [&](TFileDirEdit&) { ++drops; };
    edit.DropFiles(names);
    EXPECT_EQ(edit.text().toStdString(), dir.file("a"));

    edit.setText("old");
    edit.setMultipleDirs(true);
    edit.DropFiles(names);
    EXPECT_EQ(edit.text().toStdString(),
              dir.file("c") + ";" + dir.file("b") + ";" + dir.file("a") + ";old");
    EXPECT_EQ(drops, 2);

    // A dropped file stands for its directory; the drop comes through Qt.
    edit.setText("");
    edit.setAcceptFiles(true);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("a/file.txt")))});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the widget: the application routes drops only during a drag.
    static_cast<QObject&>(edit).event(&drop);
    EXPECT_EQ(edit.text().toStdString(), dir.file("a"));
    EXPECT_EQ(drops, 3);

    const std::string longName = "/" + std::string(300, 'x'); // no length limit
    edit.setMultipleDirs(false);
    edit.DropFiles({longName});
    EXPECT_EQ(edit.text().toStdString(), longName);
}

TEST_F(BrowseEditTest, FileNamesWithBlanksAreQuotedAndReadBackPlain) {
    TFilenameEdit edit(ui);
    const std::string spaced = dir.file("a/my notes.txt");
    ui.answers.push_back(spaced);
    edit.setText(QString::fromStdString(dir.file("a/file.txt")));
    edit.Button()->Click();
    EXPECT_EQ(ui.starts, (std::vector<std::string>{dir.file("a/file.txt")}));
    EXPECT_EQ(ui.filters, (std::vector<std::string>{"All files (*)"}));
    EXPECT_EQ(edit.text().toStdString(), '"' + spaced + '"');
    EXPECT_EQ(edit.FileName(), spaced);
    EXPECT_EQ(edit.InitialDir(), dir.file("a"));

    EXPECT_THROW(edit.setFileName("bad|name"), EComboEditError);
    edit.setFileName("");
    EXPECT_EQ(edit.text(), "");

    EXPECT_EQ(QtFileFilter("All files (*.*)|*.*|Documents|*.doc;*.rtf"),
              "All files (*);;Documents (*.doc *.rtf)");
    EXPECT_EQ(TrimToFileName("\"a b\" c"), "a b");
    EXPECT_EQ(QuoteIfSpaced("\"x y\""), "\"x y\"");
}

TEST_F(BrowseEditTest, EnterReachesTheDefaultButtonBeforeTheKeyHandler) {
    QDialog dialog;
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    auto* edit = new TDirectoryEdit(ui, &dialog);
    dialog.show();
    std::vector<std::string> order;
    QObject::connect(ok, &QPushButton::clicked, [&] { order.push_back("default"); });
    edit->OnKeyPress = [&](TCustomComboEdit&, int& pressed) {
        order.push_back(pressed == Qt::Key_Return ? "enter" : "other");
    };
    edit->setText("abc");
    key(edit, Qt::Key_Return);
    EXPECT_EQ(order, (std::vector<std::string>{"default", "enter"}));
    EXPECT_EQ(edit->text(), "abc");
}

TEST_F(BrowseEditTest, TheButtonSitsInsideTheRightEdgeAndTheTextStopsBeforeIt) {
    TDirectoryEdit edit(ui);
    edit.resize(200, 24);
    edit.show();
    EXPECT_EQ(edit.ButtonWidth(), 21); // the folder glyph is 14 wide: 14 + 6 < 21
    const QRect button(edit.Button()->mapTo(&edit, QPoint(0, 0)), edit.Button()->size());
    EXPECT_EQ(button.width(), 21);
    EXPECT_LE(button.right(), edit.width() - 1);
    EXPECT_GT(button.left(), 150);
    EXPECT_GE(edit.textMargins().right(), 21);
    EXPECT_GE(edit.minimumHeight(), QFontMetrics(edit.font()).height() / 2);

    edit.setGlyphKind(TGlyphKind::gkEllipsis);
    EXPECT_EQ(edit.Button()->Glyph().size(), QSize(15, 4));
}

TEST(EditGlyphs, EllipsisDotsStayInsideTheImage) {
    // Three whole dots from an 8-pixel image up; narrower ones are cut.
    for (int buttonWidth : {14, 15, 21, 40}) {
        const QImage image = EllipsisGlyph(buttonWidth);
        ASSERT_EQ(image.width(), buttonWidth - 6);
        int dots = 0;
        for (int x = 0; x < image.width(); ++x)
            dots += image.pixelColor(x, 1) == QColor(Qt::black);
        EXPECT_EQ(dots, 6) << buttonWidth;
    }
    EXPECT_EQ(EllipsisGlyph(3).size(), QSize(1, 4));
    const QImage wide = EllipsisGlyph(21); // 15 wide, gap 3: dots at 1, 6 and 11
    for (int x : {1, 2, 6, 7, 11, 12})
        EXPECT_EQ(wide.pixelColor(x, 2), QColor(Qt::black)) << x;
    EXPECT_EQ(wide.pixelColor(3, 2), QColor(Qt::white));
}

} // namespace
} // namespace kd
