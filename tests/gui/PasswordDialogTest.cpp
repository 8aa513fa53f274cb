#include "MainWindowFixture.h"
#include "app/gui/TPasswordDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

using namespace kd;
using namespace kd::test;

namespace {

// Answers each password question with the real dialog: types the next scripted text
// and presses OK, or presses Cancel when the script says nullopt.
class PasswordFormUiHost : public WindowUiHost {
public:
    std::optional<std::string> passwordDialog() override {
        ++asked;
        TPasswordDlg dialog;
        const std::optional<std::string> typed = typing.empty() ? std::nullopt : typing.front();
        if (!typing.empty())
            typing.pop_front();
        QTimer::singleShot(0, &dialog, [&dialog, typed] {
            masked = dialog.passwordEdit()->echoMode() == QLineEdit::Password;
            const char* button = typed ? "OKBtn" : "CancelBtn";
            if (typed)
                dialog.passwordEdit()->setText(QString::fromStdString(*typed));
            dialog.findChild<QPushButton*>(button)->click();
        });
        return dialog.ask();
    }
    std::deque<std::optional<std::string>> typing;
    int asked = 0;
    static inline bool masked = false;
};

class PasswordDialogTest : public MainWindowFixture {
protected:
    TFormZalohovani& openWith(const std::string& settings) {
        dir.write("Nastaven.txt", settings);
        MainWindowSetup setup;
        setup.programDirectory = dir.path();
        setup.executablePath = dir.file("kordyne");
        setup.programPath = setup.executablePath;
        setup.clock = &clock;
        setup.configHome = config.path();
        window = std::make_unique<TFormZalohovani>(host, setup);
        window->setRuns(runs);
        window->show();
        QCoreApplication::processEvents();
        return *window;
    }
    std::string currentPage() {
        return widget<QStackedWidget>("PageControl1")->currentWidget()->objectName().toStdString();
    }

    PasswordFormUiHost host;
};

} // namespace

TEST_F(PasswordDialogTest, ProfileGuardRefusesWrongAndCancelledAnswersAndGrantsTheRightOne) {
    openWith("HESLO=Tajne\r\n");
    host.typing = {std::string("tajne"), std::nullopt, std::string("Tajne")};

    action("ActionNovyProfil")->trigger(); // wrong letter case
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    action("ActionNovyProfil")->trigger(); // cancelled
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    ASSERT_EQ(host.shown.size(), 2u);
    for (const auto& box : host.shown)
        EXPECT_EQ(box.text, ResourceStrings.GetText(11042));

    action("ActionNovyProfil")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetEditNastav");
    EXPECT_EQ(host.shown.size(), 2u);
    EXPECT_TRUE(PasswordFormUiHost::masked);
    window->BitBtnZrusClick();
    // Answered once, the password holds until the program ends.
    action("ActionNovyProfil")->trigger();
    EXPECT_EQ(host.asked, 3);
    EXPECT_EQ(currentPage(), "TabSheetEditNastav");
}

TEST_F(PasswordDialogTest, SettingsGuardRefusesAWrongAnswerAndGrantsTheRightOne) {
    openWith("HESLO_ADMIN=spravce\r\n");
    host.typing = {std::string("spravce "), std::string("spravce")};

    action("MenuNastaven1")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].text, ResourceStrings.GetText(11043));

    action("MenuNastaven1")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetNastaven");
    EXPECT_EQ(host.asked, 2);
}

TEST_F(PasswordDialogTest, DialogStartsEmptyEachTime) {
    TPasswordDlg dialog;
    dialog.passwordEdit()->setText("left over");
    QTimer::singleShot(0, &dialog, [&dialog] {
        EXPECT_TRUE(dialog.passwordEdit()->text().isEmpty());
        dialog.findChild<QPushButton*>("OKBtn")->click();
    });
    EXPECT_EQ(dialog.ask(), std::optional<std::string>(""));
}
