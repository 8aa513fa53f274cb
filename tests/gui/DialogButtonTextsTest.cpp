#include "GuiApplication.h"
#include "app/gui/AppUiHost.h"
#include "lang/TResourceStrings.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kd;

namespace {

// The program's host with its dialogs shown even offscreen.
class ShowingHost : public AppUiHost {
public:
    bool showsDialogs() const override { return true; }
};

class DialogButtonTextsTest : public ::testing::Test {
protected:
    DialogButtonTextsTest() { test::ensureApplication(); }
    ~DialogButtonTextsTest() override { LanguageCode = "CZ"; }

    QStringList boxButtons(MsgButtons buttons, const QString& press, MsgAnswer& answer) {
        ShowingHost host;
        QStringList texts;
        QTimer::singleShot(0, [&texts, press] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            QPushButton* chosen = nullptr;
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                texts << button->text();
                if (button->text() == press)
                    chosen = button;
            }
            ASSERT_NE(chosen, nullptr) << press.toStdString();
            chosen->click();
        });
        answer = host.messageBox("text", "caption", buttons, MsgIcon::Question);
        texts.sort();
        return texts;
    }
};

TEST_F(DialogButtonTextsTest, BoxesShowTheProgramsButtonsInTheCurrentLanguage) {
    struct Case {
        const char* language;
        MsgButtons buttons;
        QStringList expected; // sorted
        const char* press;
        MsgAnswer answer;
    };
    const Case cases[] = {
        {"CZ", MsgButtons::YesNo, {"Ano", "Ne"}, "Ne", MsgAnswer::No},
        {"CZ", MsgButtons::OkCancel, {"OK", QString::fromUtf8("Zruš")}, "OK", MsgAnswer::Ok},
        {"CZ",
         MsgButtons::AbortRetryIgnore,
         {"Ignorovat", "Opakovat", QString::fromUtf8("Přerušit")},
         "Opakovat",
         MsgAnswer::Retry},
        {"EN", MsgButtons::YesNoCancel, {"Cancel", "No", "Yes"}, "Yes", MsgAnswer::Yes},
        {"EN", MsgButtons::RetryCancel, {"Cancel", "Retry"}, "Cancel", MsgAnswer::Cancel},
        {"SK",
         MsgButtons::YesNo,
         {QString::fromUtf8("Nie"), QString::fromUtf8("Áno")},
         "Nie",
         MsgAnswer::No},
        {"SK",
         MsgButtons::AbortRetryIgnore,
         {QString::fromUtf8("Ignorovať"), QString::fromUtf8("Opakovať"),
          QString::fromUtf8("Prerušiť")},
         "Ignorovať",
         MsgAnswer::Ignore},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        LanguageCode = c.language;
        MsgAnswer answer{};
        EXPECT_EQ(boxButtons(c.buttons, QString::fromUtf8(c.press), answer), c.expected);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST_F(DialogButtonTextsTest, InputBoxFollowsALanguageChangedWhileTheHostLives) {
    ShowingHost host;
    const auto buttonsOfInputBox = [&host](const QString& press) {
        QStringList texts;
        QTimer::singleShot(0, [&texts, press] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                texts << button->text();
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == press)
                    return button->click();
        });
        const auto answer = host.inputBox("caption", "prompt", "typed", true);
        texts.sort();
        return std::make_pair(texts, answer);
    };
    LanguageCode = "CZ";
    auto [czech, given] = buttonsOfInputBox("OK");
    EXPECT_EQ(czech, QStringList({"OK", QString::fromUtf8("Zruš")}));
    EXPECT_EQ(given, std::optional<std::string>("typed"));
    LanguageCode = "SK";
    auto [slovak, cancelled] = buttonsOfInputBox(QString::fromUtf8("Zrušiť"));
    EXPECT_EQ(slovak, QStringList({"OK", QString::fromUtf8("Zrušiť")}));
    EXPECT_EQ(cancelled, std::nullopt);
}

TEST_F(DialogButtonTextsTest, QtsOwnDialogsAreTranslatedWhereDebiansFilesExist) {
    AppUiHost host;
    host.setLanguage("CZ");
    const QString czech = QFileDialog::tr("&Open"); // unchanged without the file
    host.setLanguage("EN");
    EXPECT_EQ(QFileDialog::tr("&Open"), "&Open");
    host.setLanguage("SK");
    const QString slovak = QFileDialog::tr("&Open");
    if (czech == "&Open" || slovak == "&Open")
        GTEST_SKIP() << "Qt's translations (qt6-translations-l10n) are not installed";
    EXPECT_NE(czech, slovak);
}

} // namespace
