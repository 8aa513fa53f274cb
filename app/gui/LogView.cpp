#include "app/gui/LogView.h"

#include "app/gui/LogText.h"
#include "app/gui/PageControls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kd {

LogView::LogView(QWidget* parent) : QWidget(parent) {
    setObjectName("LogView");
    lbl_LogTail = new QLabel(
        QString::fromUtf8("Log je příliš velký: zobrazena je jen jeho poslední část."), this);
    lbl_LogTail->setObjectName("lbl_LogTail");
    lbl_LogTail->setVisible(false);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    markRunTimeText(Memo1);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lbl_LogTail);
    layout->addWidget(Memo1, 1);
}

void LogView::load(const std::string& path) {
    const LogText log = readLogForView(path);
    Memo1->setPlainText(toQString(log.text));
    lbl_LogTail->setVisible(log.truncated);
    // The newest lines are the ones wanted.
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

} // namespace kd
