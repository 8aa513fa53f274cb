#include "widgets/typed/TEditVarox.h"
#include "widgets/typed/TComboBoxVarox.h"

#include "platform/UiHost.h"
#include "widgets/support/WidgetsApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace kd {
namespace {

// Counts the error boxes instead of showing them.
class CountingUiHost : public SilentUiHost {
public:
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override {
        errors.push_back(text);
        return SilentUiHost::messageBox(text, caption, buttons, icon);
    }
    std::vector<std::string> errors;
};

class TEditVaroxTest : public testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        form = std::make_unique<QWidget>();
        edit = new TEditVarox;
        combo = new TComboBoxVarox;
        next = new TEditVarox;
        auto* layout = new QVBoxLayout(form.get());
        for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(combo),
                           static_cast<QWidget*>(next)})
            layout->addWidget(w);
        edit->setUiHost(&ui);
        edit->setToday([] { return QDate(2026, 12, 7); });
        form->show();
        QApplication::setActiveWindow(form.get());
        edit->setFocus();
    }
    void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(target, &event);
    }
    // Leaves the edit with Tab; the focus may come back once pending events ran.
    void tabAway() {
        press(edit, Qt::Key_Tab);
        QCoreApplication::processEvents();
    }

    CountingUiHost ui;
    std::unique_ptr<QWidget> form;
    TEditVarox* edit = nullptr; // owned by the form
    TComboBoxVarox* combo = nullptr;
    TEditVarox* next = nullptr;
};

TEST_F(TEditVaroxTest, DateIsCompletedOnLeaving) {
    edit->setEditType(ttDate);
    edit->setText("5/3");
    tabAway();
    EXPECT_EQ(edit->text(), "5.3.2026");
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(combo->hasFocus());
}

TEST_F(TEditVaroxTest, InvalidDateKeepsTheFocusThenLeavesBlank) {
    edit->setEditType(ttDate);
    edit->setBlankDate("--.--.----");
    EXPECT_EQ(edit->text(), "--.--.----");
    int exits = 0;
    edit->setOnExit([&] { ++exits; });
    edit->setText("5..3");
    tabAway();
    EXPECT_EQ(ui.errors, std::vector<std::string>{" Chybný formát dat "});
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(exits, 0);
    // The emptied field is accepted on the second exit and shows the blank text.
    tabAway();
    EXPECT_TRUE(combo->hasFocus());
    EXPECT_EQ(edit->text(), "--.--.----");
    EXPECT_EQ(exits, 1);
}

TEST_F(TEditVaroxTest, ImpossibleDatesAndTimesAreInvalid) {
    edit->setEditType(ttDate);
    EXPECT_FALSE(edit->SetText("31.2."));
    EXPECT_TRUE(edit->SetText("29.2.2028"));
    EXPECT_TRUE(edit->SetText("1.1.69")); // two-digit years are read by the same rule as files
    edit->setEditType(ttTime);
    EXPECT_TRUE(edit->SetText("7.30"));
    EXPECT_EQ(edit->text(), "7:30:00");
    EXPECT_FALSE(edit->SetText("25"));
    EXPECT_EQ(ui.errors.size(), 2u);
}

TEST_F(TEditVaroxTest, NumbersAreCheckedAndFloatsReformatted) {
    edit->setEditType(ttInteger);
    EXPECT_TRUE(edit->SetText(""));
    EXPECT_TRUE(edit->SetText("-2147483648"));
    EXPECT_FALSE(edit->SetText("2147483648"));
    EXPECT_EQ(edit->text(), "2147483648"); // shown as typed, to be corrected
    EXPECT_EQ(edit->GetInteger(), 0);
    EXPECT_EQ(ui.errors.size(), 2u);

    edit->setEditType(ttFloat);
    EXPECT_TRUE(edit->SetText("abc")); // precision 0: any text
    edit->setFloatPrecision(4);
    edit->setFloatDigits(2);
    EXPECT_TRUE(edit->SetText("3,14159"));
    EXPECT_EQ(edit->text(), "3,14");
    EXPECT_TRUE(edit->SetText("123456"));
    EXPECT_EQ(edit->text(), "123500,00");
    EXPECT_FALSE(edit->SetText("3.5")); // not the decimal separator
    EXPECT_EQ(ui.errors.size(), 3u);
}

TEST_F(TEditVaroxTest, EnterActsAsTabAndReportsItsShiftState) {
    std::vector<Qt::KeyboardModifiers> exits;
    edit->setOnTabExit([&](QWidget* sender, Qt::KeyboardModifiers shift) {
        EXPECT_EQ(sender, edit);
        exits.push_back(shift);
    });
    press(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(combo->hasFocus());
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(exits[0], Qt::ControlModifier);

    // Leaving by a click is no tab exit.
    edit->setFocus(Qt::MouseFocusReason);
    next->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(exits.size(), 1u);

    // The combo box moves on with Enter too; without EnterIsTab the edit keeps the focus.
    combo->setFocus();
    press(combo, Qt::Key_Enter);
    EXPECT_TRUE(next->hasFocus());
    next->setEnterIsTab(false);
    press(next, Qt::Key_Return);
    EXPECT_TRUE(next->hasFocus());
}

TEST_F(TEditVaroxTest, SpaceClicksInsteadOfTyping) {
    int clicks = 0;
    edit->setOnClickSpace([&] { ++clicks; });
    press(edit, Qt::Key_Space, Qt::NoModifier, " ");
    press(edit, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->text(), "a");

    edit->setEditType(ttFloat);
    edit->setConvertDecimalSymbol(true);
    press(edit, Qt::Key_Comma, Qt::NoModifier, ",");
    EXPECT_EQ(edit->text(), "a.");
}

TEST_F(TEditVaroxTest, DestroyedEditGetsNoLateFocusCall) {
    edit->setEditType(ttInteger);
    edit->setText("x");
    press(edit, Qt::Key_Tab);
    delete edit; // the refocus queued by the invalid exit must not reach it
    edit = nullptr;
    QCoreApplication::processEvents();
    EXPECT_TRUE(combo->hasFocus());
}

} // namespace
} // namespace kd
