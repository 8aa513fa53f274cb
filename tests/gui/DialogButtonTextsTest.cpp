#include "GuiApplication.h"
#include "app/gui/AppUiHost.h"
#include "lang/TResourceStrings.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
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

// Notes the button texts of the next modal dialog, sorted, and presses the one whose
// text is press.
void pressInNextDialog(const char* press, QStringList& texts) {
    QTimer::singleShot(0, [press, &texts] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QPushButton* chosen = nullptr;
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            texts << button->text();
            if (button->text() == QString::fromUtf8(press))
                chosen = button;
        }
        texts.sort();
        ASSERT_NE(chosen, nullptr) << press;
        chosen->click();
    });
}

class DialogButtonTextsTest : public ::testing::Test {
protected:
    DialogButtonTextsTest() { test::ensureApplication(); }
    ~DialogButtonTextsTest() override { LanguageCode = "CZ"; }
    ShowingHost host;
};

QStringList utf8(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

TEST_F(DialogButtonTextsTest, BoxesAndInputBoxesShowTheProgramsButtonsInTheCurrentLanguage) {
    const struct {
        const char* language;
        MsgButtons buttons;
        QStringList expected; // sorted
        const char* press;
        MsgAnswer answer;
    } cases[] = {
        {"CZ", MsgButtons::YesNo, utf8({"Ano", "Ne"}), "Ne", MsgAnswer::No},
        {"CZ", MsgButtons::AbortRetryIgnore, utf8({"Ignorovat", "Opakovat", "Přerušit"}),
         "Opakovat", MsgAnswer::Retry},
        {"EN", MsgButtons::YesNoCancel, utf8({"Cancel", "No", "Yes"}), "Yes", MsgAnswer::Yes},
        {"SK", MsgButtons::OkCancel, utf8({"OK", "Zrušiť"}), "OK", MsgAnswer::Ok},
        {"SK", MsgButtons::AbortRetryIgnore, utf8({"Ignorovať", "Opakovať", "Prerušiť"}),
         "Prerušiť", MsgAnswer::Abort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        LanguageCode = c.language;
        QStringList texts;
        pressInNextDialog(c.press, texts);
        EXPECT_EQ(host.messageBox("text", "caption", c.buttons, MsgIcon::Question), c.answer);
        EXPECT_EQ(texts, c.expected);
    }

    // The language changed while the host lives reaches the input box too.
    QStringList texts;
    LanguageCode = "EN";
    pressInNextDialog("OK", texts);
    EXPECT_EQ(host.inputBox("caption", "prompt", "typed", true),
              std::optional<std::string>("typed"));
    EXPECT_EQ(texts, utf8({"Cancel", "OK"}));
    texts.clear();
    LanguageCode = "CZ";
    pressInNextDialog("Zruš", texts);
    EXPECT_EQ(host.inputBox("caption", "prompt", "typed", false), std::nullopt);
    EXPECT_EQ(texts, utf8({"OK", "Zruš"}));
}

TEST_F(DialogButtonTextsTest, ABoxGivesTheEnginesWordsInTheLanguageAndHasATitle) {
    QString title, text;
    const auto noteNextBox = [&] {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            box->accept();
        });
    };
    noteNextBox();
    host.messageBox("Cannot write /mnt/a.zip: No space left on device", "", MsgButtons::Ok,
                    MsgIcon::Information);
    EXPECT_EQ(title, "Kordyne");
    EXPECT_EQ(text, QString::fromUtf8("Nelze zapsat /mnt/a.zip: na zařízení nezbývá místo"));

    // The engine's own box: its caption too.
    ResourceStrings.LoadLanguage("SK");
    noteNextBox();
    host.messageBox("Wrong password", "Error", MsgButtons::Ok, MsgIcon::Error);
    ResourceStrings.LoadLanguage("CZ");
    EXPECT_EQ(title, "Chyba");
    EXPECT_EQ(text, "Nesprávne heslo");
}

TEST_F(DialogButtonTextsTest, QtsOwnDialogsAreTranslatedWhereDebiansFilesExist) {
    host.setLanguage("CZ");
    const QString czech = QFileDialog::tr("&Open");
    host.setLanguage("EN");
    EXPECT_EQ(QFileDialog::tr("&Open"), "&Open");
    host.setLanguage("SK");
    const QString slovak = QFileDialog::tr("&Open");
    if (czech == "&Open" || slovak == "&Open")
        GTEST_SKIP() << "Qt's translations (qt6-translations-l10n) are not installed";
    EXPECT_NE(czech, slovak);

    // What Debian's files lack: the kinds of files, and Slovak standard buttons.
    const auto qt = [](const char* context, const char* text) {
        return QCoreApplication::translate(context, text);
    };
    EXPECT_EQ(qt("QAbstractFileIconProvider", "Folder"), QString::fromUtf8("Priečinok"));
    EXPECT_EQ(qt("QPlatformTheme", "Cancel"), QString::fromUtf8("Zrušiť"));
    EXPECT_EQ(qt("QFileDialog", "&Choose"), QString::fromUtf8("&Vybrať")); // Qt's own
    host.setLanguage("CZ");
    EXPECT_EQ(qt("QAbstractFileIconProvider", "%1 File").arg("txt"),
              QString::fromUtf8("Soubor txt"));
    EXPECT_EQ(qt("QPlatformTheme", "Cancel"), QString::fromUtf8("Zrušit")); // Qt's own
    host.setLanguage("EN");
    EXPECT_EQ(qt("QAbstractFileIconProvider", "Folder"), "Folder");
}
