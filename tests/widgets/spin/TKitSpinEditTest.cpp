#include "widgets/spin/TKitSpinEdit.h"

#include "widgets/spin/TKitSpinButton.h"
#include "widgets/spin/TKitUpDown.h"
#include "widgets/support/WidgetsApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace kd {
namespace {

class TKitSpinEditTest : public testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        form = std::make_unique<QWidget>();
        spin = new TKitSpinEdit;
        other = new QWidget;
        other->setFocusPolicy(Qt::StrongFocus);
        auto* layout = new QVBoxLayout(form.get());
        layout->addWidget(spin);
        layout->addWidget(other);
        spin->setMaxValue(999);
        spin->setOnChange([this] { ++changes; });
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    void type(const QString& text) {
        for (QChar c : text) {
            QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(spin, &event);
        }
    }
    void press(Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(spin, &event);
    }

    std::unique_ptr<QWidget> form;
    TKitSpinEdit* spin = nullptr; // owned by the form
    QWidget* other = nullptr;
    int changes = 0;
};

TEST_F(TKitSpinEditTest, ValueOutOfBoundsIsBroughtToTheBoundOnLeaving) {
    spin->setFocus();
    spin->selectAll();
    type("1500");
    EXPECT_EQ(spin->text(), "1500"); // typing is never cut
    other->setFocus();
    EXPECT_EQ(spin->text(), "999");

    spin->setText("-7");
    spin->setFocus();
    other->setFocus();
    EXPECT_EQ(spin->text(), "0");

    spin->setMaxValue(0); // equal bounds bind nothing
    spin->setText("123456");
    spin->setFocus();
    other->setFocus();
    EXPECT_EQ(spin->text(), "123456");
}

TEST_F(TKitSpinEditTest, ANumberTooLargeForItsTypeGoesToTheNearerBound) {
    spin->setMaxValue(255);
    const auto leaveWith = [this](const QString& text) {
        spin->setText(text);
        spin->setFocus();
        other->setFocus();
        return spin->text().toStdString();
    };
    EXPECT_EQ(leaveWith("12345678901234567890"), "255");
    EXPECT_EQ(leaveWith(" -99999999999999999999999 "), "0");
    EXPECT_EQ(leaveWith(QString(400, u'9')), "255"); // past the doubles too
    spin->setText("12345678901234567890");
    spin->StepDown();
    EXPECT_EQ(spin->text().toStdString(), "255");

    spin->setValueType(vtHex);
    EXPECT_EQ(leaveWith("FFFFFFFFFFFFFFFFFFFF"), "FF");
    spin->setValueType(vtFloat);
    EXPECT_EQ(leaveWith("1e999"), "255,00");
    EXPECT_EQ(leaveWith("-1e999"), "0,00");

    // Unbounded, the largest 64-bit number is written.
    spin->setValueType(vtInteger);
    spin->setMaxValue(0);
    spin->setText("99999999999999999999");
    spin->StepUp();
    EXPECT_EQ(spin->text().toStdString(), "9223372036854775807");
}

TEST_F(TKitSpinEditTest, StepsStopAtTheBoundsAndRoundHalfToEven) {
    spin->setMinValue(1);
    spin->setText("abc"); // no number: reads as the lower bound
    EXPECT_EQ(spin->Value(), 1);
    changes = 0;
    spin->StepUp();
    EXPECT_EQ(spin->text(), "2");
    EXPECT_EQ(changes, 1);

    int topClicks = 0;
    spin->setOnTopClick([&] { ++topClicks; });
    spin->setText("999");
    changes = 0;
    spin->StepUp(); // text unchanged: no change event, but the click
    EXPECT_EQ(spin->text(), "999");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(topClicks, 1);

    spin->setValueType(vtFloat);
    spin->setIncrement(0.4);
    spin->setValueType(vtInteger); // the increment rounds to 0 and becomes 1
    EXPECT_EQ(spin->Increment(), 1);
    spin->setValue(2.5);
    EXPECT_EQ(spin->text(), "2");
    spin->setValue(3.5);
    EXPECT_EQ(spin->text(), "4");
}

TEST_F(TKitSpinEditTest, FloatsUseTheDecimalCommaAndTypingIsFiltered) {
    spin->setValueType(vtFloat);
    spin->setValue(2.5);
    EXPECT_EQ(spin->text(), "2,50");
    spin->setFocus();
    spin->setText("");
    type("1,5,e3Ee2x");
    EXPECT_EQ(spin->text(), "1,5e32");
    EXPECT_DOUBLE_EQ(spin->Value(), 1.5e32);
    other->setFocus();
    EXPECT_EQ(spin->text(), "999,00");

    spin->setValueType(vtHex);
    spin->setMaxValue(0);
    spin->setText("");
    spin->setFocus();
    type("fFgZ1");
    EXPECT_EQ(spin->text(), "fF1");
    EXPECT_EQ(spin->Value(), 0xFF1);
    spin->StepUp();
    EXPECT_EQ(spin->text(), "FF2");
}

TEST_F(TKitSpinEditTest, ArrowKeysStepAndReadOnlyOrNoEditorBlocksChanges) {
    spin->setFocus();
    spin->setText("5");
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    press(Qt::Key_Down);
    EXPECT_EQ(spin->text(), "6");

    spin->setReadOnly(true);
    press(Qt::Key_Up);
    spin->spinButton()->setOnTopClick(nullptr); // the button goes through StepUp too
    spin->StepDown();
    EXPECT_EQ(spin->text(), "6");

    spin->setReadOnly(false);
    spin->setEditorEnabled(false);
    spin->end(false);
    type("7");
    press(Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), "6");
    press(Qt::Key_Up); // steps still work
    EXPECT_EQ(spin->text(), "7");
}

TEST_F(TKitSpinEditTest, StandardButtonKindStepsThroughTheUpDown) {
    spin->setButtonKind(bkStandard);
    ASSERT_NE(spin->upDown(), nullptr);
    EXPECT_EQ(spin->spinButton(), nullptr);
    EXPECT_LE(spin->upDown()->width(), 15);
    auto buttons = spin->upDown()->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 2);
    buttons[0]->click();
    buttons[0]->click();
    buttons[1]->click();
    EXPECT_EQ(spin->text(), "1");
    EXPECT_TRUE(spin->hasFocus());
}

} // namespace
} // namespace kd
