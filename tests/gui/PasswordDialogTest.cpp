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
            EXPECT_EQ(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
            const char* button = typed ? "OKBtn" : "CancelBtn";
            if (typed)
                dialog.passwordEdit()->setText(QString::fromStdString(*typed));
            dialog.findChild<QPushButton*>(button)->click();
        });
        return dialog.ask();
    }
    std::deque<std::optional<std::string>> typing;
    int asked = 0;
};

class PasswordDialogTest : public MainWindowFixture {
protected:
    PasswordDialogTest() { host = &form; }
    ~PasswordDialogTest() override { window.reset(); } // before the host it uses
    std::string currentPage() {
        return widget<QStackedWidget>("PageControl1")->currentWidget()->objectName().toStdString();
    }
    PasswordFormUiHost form;
};

} // namespace

TEST_F(PasswordDialogTest, ProfileGuardRefusesWrongAndCancelledAnswersAndGrantsTheRightOne) {
    dir.write("Nastaven.txt", "HESLO=Tajne\r\n");
    open();
    form.typing = {std::string("tajne"), std::nullopt, std::string("Tajne")};

    action("ActionNovyProfil")->trigger(); // wrong letter case
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    action("ActionNovyProfil")->trigger(); // cancelled
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    ASSERT_EQ(form.shown.size(), 2u);
    for (const auto& box : form.shown)
        EXPECT_EQ(box.text, ResourceStrings.GetText(11042));

    action("ActionNovyProfil")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetEditNastav");
    EXPECT_EQ(form.shown.size(), 2u);
    window->BitBtnZrusClick();
    // Answered once, the password holds until the program ends.
    action("ActionNovyProfil")->trigger();
    EXPECT_EQ(form.asked, 3);
    EXPECT_EQ(currentPage(), "TabSheetEditNastav");
}

TEST_F(PasswordDialogTest, SettingsGuardRefusesAWrongAnswerAndGrantsTheRightOne) {
    dir.write("Nastaven.txt", "HESLO_ADMIN=spravce\r\n");
    open();
    form.typing = {std::string("spravce "), std::string("spravce")};

    action("MenuNastaven1")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetBrowse");
    ASSERT_EQ(form.shown.size(), 1u);
    EXPECT_EQ(form.shown[0].text, ResourceStrings.GetText(11043));

    action("MenuNastaven1")->trigger();
    EXPECT_EQ(currentPage(), "TabSheetNastaven");
    EXPECT_EQ(form.asked, 2);
}
