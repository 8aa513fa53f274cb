// Where and how large the program's windows open.
#include "MainWindowFixture.h"
#include "TestPaths.h"
#include "app/gui/AppUiHost.h"
#include "app/gui/TExtractDlg.h"
#include "app/gui/TPasswordDlg.h"
#include "lang/qt/FormTranslation.h"

#include <QComboBox>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

// The main window with the language files beside it.
class TranslatedMainWindowTest : public MainWindowFixture {
protected:
    TranslatedMainWindowTest() {
        setFormFilesDirectory(files.path());
        std::filesystem::create_directories(files.file("Lang"));
        for (const char* code : {"EN", "SK"})
            std::filesystem::copy_file(KORDYNE_TEST_DATA_DIR "/../../resources/Lang/Transl_" +
                                           std::string(code) + ".Ini",
                                       files.file(std::string("Lang/Transl_") + code + ".Ini"));
    }
    ~TranslatedMainWindowTest() override { setFormFilesDirectory({}); }

    // Every action of the tool bars has its button shown, none behind the extension.
    void expectEveryActionShown(TFormZalohovani& shown) {
        shown.layout()->activate();
        for (QToolBar* bar : shown.findChildren<QToolBar*>()) {
            bar->layout()->activate();
            for (QAction* action : bar->actions()) {
                const QWidget* button = bar->widgetForAction(action);
                EXPECT_TRUE(button && button->isVisible()) << action->text().toStdString();
            }
        }
        const QRect area = shown.screen()->availableGeometry();
        EXPECT_LE(shown.width(), area.width());
        EXPECT_LE(shown.height(), area.height());
    }

    TempDir files;
};

// The main window in each language.
class MainWindowSizeTest : public TranslatedMainWindowTest,
                           public ::testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(MainWindowSizeTest, TheFirstStartShowsEveryToolBarActionAndTheLongestHintWhole) {
    dir.write("Nastaven.txt", std::string("LANGUAGE=") + GetParam() + "\r\n");
    TFormZalohovani& shown = open();
    expectEveryActionShown(shown);
    QStatusBar& status = *shown.statusBar();
    int longest = 0;
    for (const QWidget* child : shown.findChildren<QWidget*>())
        longest = std::max(longest, status.fontMetrics().horizontalAdvance(child->statusTip()));
    int permanent = 0;
    for (const char* name : {"btn_Cancel", "Version"})
        permanent += widget<QWidget>(name)->width();
    EXPECT_GE(status.width() - permanent, longest);
}

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowSizeTest, ::testing::Values("CZ", "EN", "SK"));

TEST_F(TranslatedMainWindowTest, ALanguageChosenOnTheSettingsPageGrowsTheWindowForEveryAction) {
    dir.write("Nastaven.txt", "LANGUAGE=EN\r\n");
    TFormZalohovani& shown = open();
    shown.resize(400, 300); // narrower than its actions need
    const QSize before = shown.size();
    action("MenuNastaven1")->trigger();
    widget<QComboBox>("cb_Language")->setCurrentIndex(2); // Slovak
    widget<QPushButton>("ButtonOk")->click();
    ASSERT_EQ(LanguageCode, "SK");
    expectEveryActionShown(shown);
    EXPECT_GE(shown.width(), before.width());
    EXPECT_GE(shown.height(), before.height());
}

TEST(WindowGeometry, DialogsAreWideEnoughForTheirTitleAndTheTitleBarsButtons) {
    ensureApplication();
    struct ShowingHost : AppUiHost {
        bool showsDialogs() const override { return true; }
    } host;
    // Width at least for the bold title and, on either side of it, an icon or three
    // buttons about two lines high each.
    const auto check = [](QWidget& dialog) {
        QFont bold = dialog.font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        EXPECT_GE(dialog.width(),
                  metrics.horizontalAdvance(dialog.windowTitle()) + 2 * 3 * 2 * metrics.height())
            << dialog.metaObject()->className() << ' ' << dialog.windowTitle().toStdString();
        dialog.close();
    };
    for (const char* title : {"Potvrzení hesla", "Confirm the password", "Potvrdenie hesla"}) {
        QTimer::singleShot(0, [&] { check(*QApplication::activeModalWidget()); });
        host.inputBox(title, "Zadejte heslo :", "", true);
        QTimer::singleShot(0, [&] { check(*QApplication::activeModalWidget()); });
        host.messageBox("OK?", title, MsgButtons::Ok, MsgIcon::None);
        TPasswordDlg password;
        password.setWindowTitle(title);
        QTimer::singleShot(0, [&] { check(password); });
        password.ask();
    }
}

TEST(WindowGeometry, TheExtractionDialogOpensAgainWhereAndAsLargeAsItWasClosed) {
    ensureApplication();
    QWidget main;
    main.resize(800, 600);
    main.show();
    ScriptedUiHost ui;
    TExtractDlg dialog(ui, &main);
    std::vector<QRect> shown;
    for (int i = 0; i < 10; ++i) {
        ExtractOptions options;
        options.destDir = "/tmp/destination/of/the/files";
        dialog.setOptions(options);
        QTimer::singleShot(0, &dialog, [&] {
            if (i == 0) {
                // Moved and widened as a user does, through the window system.
                dialog.windowHandle()->setFramePosition(dialog.pos() + QPoint(31, 17));
                dialog.windowHandle()->resize(dialog.size() + QSize(40, 10));
            }
            shown.push_back(dialog.frameGeometry());
            dialog.reject();
        });
        dialog.exec();
    }
    for (const QRect& frame : shown)
        EXPECT_EQ(frame, shown.front());
}
