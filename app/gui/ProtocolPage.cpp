#include "app/gui/ProtocolPage.h"

#include "app/gui/LogView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kd {

ProtocolPage::ProtocolPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheetProtokol");
    Log = new LogView(this);
    BitBtnOkProtokol = new QPushButton("&OK", this);
    BitBtnOkProtokol->setObjectName("BitBtnOkProtokol");
    BitBtnOkProtokol->setEnabled(false);
    connect(BitBtnOkProtokol, &QPushButton::clicked, this, &ProtocolPage::okClicked);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOkProtokol);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Log, 1);
    layout->addLayout(buttons);
    Log->Memo1->installEventFilter(this);
}

void ProtocolPage::TabSheetProtokolEnter(const std::string& logPath) {
    BitBtnOkProtokol->setEnabled(true);
    Log->load(logPath);
    Log->Memo1->setFocus();
}

void ProtocolPage::TabSheetProtokolExit() {
    BitBtnOkProtokol->setEnabled(false);
}

bool ProtocolPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Log->Memo1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit okClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kd
