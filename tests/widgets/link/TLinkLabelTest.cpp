#include "widgets/link/TLinkLabel.h"
#include "gui/GuiApplication.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace kd::test {
namespace {

// A press of one mouse button on the widget, as the window system delivers it.
void press(QWidget* widget, Qt::MouseButton button) {
    const QPointF at(5, 5);
    QMouseEvent event(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class TLinkLabelTest : public ::testing::Test {
protected:
    TLinkLabelTest() {
        label = new TLinkLabel(&form);
        label->SetOpener([this](const QUrl& url) { opened.push_back(url.toString()); });
        form.resize(200, 50);
        label->resize(150, 20);
    }
    // Made before the widgets.
    struct Application {
        Application() { ensureApplication(); }
    } application;
    QWidget form;
    TLinkLabel* label = nullptr;
    std::vector<QString> opened;
};

TEST_F(TLinkLabelTest, OnlyTheLeftButtonOpensTheSchemeAndTheLink) {
    label->SetLinkType(TLinkType::ltmailto);
    label->SetHyperLink("kordyne@example.org");
    press(label, Qt::RightButton);
    press(label, Qt::MiddleButton);
    EXPECT_TRUE(opened.empty());
    press(label, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<QString>{"mailto:kordyne@example.org"});

    label->SetLinkType(TLinkType::lthttps);
    label->SetHyperLink("example.org/kordyne");
    press(label, Qt::LeftButton);
    EXPECT_EQ(opened.back(), "https://example.org/kordyne");
}

TEST_F(TLinkLabelTest, ALinkFillsOnlyAnEmptyCaption) {
    EXPECT_EQ(label->parentWidget(), &form);
    EXPECT_EQ(label->LinkType(), TLinkType::lthttp);
    EXPECT_TRUE(label->font().underline());
    label->SetHyperLink("example.org");
    EXPECT_EQ(label->text(), "example.org");
    label->setText("e-mail :   kordyne@example.org");
    label->SetHyperLink("kordyne@example.org");
    EXPECT_EQ(label->text(), "e-mail :   kordyne@example.org");
}

} // namespace
} // namespace kd::test
