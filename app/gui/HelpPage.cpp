#include "app/gui/HelpPage.h"

#include "app/gui/PageControls.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kd {

HelpPage::HelpPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheetHelp");
    RichEditHelp = new QTextBrowser(this);
    RichEditHelp->setObjectName("RichEditHelp");
    markRunTimeText(RichEditHelp);
    RichEditHelp->setOpenExternalLinks(true);
    ButtonOkHelp = new QPushButton("&Ok", this);
    ButtonOkHelp->setObjectName("ButtonOkHelp");
    ButtonOkHelp->setEnabled(false);
    connect(ButtonOkHelp, &QPushButton::clicked, this, &HelpPage::okClicked);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOkHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RichEditHelp, 1);
    layout->addLayout(buttons);
}

void HelpPage::TabSheetHelpEnter(const std::string& helpPath) {
    ButtonOkHelp->setEnabled(true);
    std::ifstream in(helpPath, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf()))
        throw Exception("Cannot open " + helpPath + ": " + std::strerror(errno));
    // Links inside the help resolve beside the file.
    RichEditHelp->setSearchPaths({QFileInfo(toQString(helpPath)).absolutePath()});
    RichEditHelp->setHtml(toQString(decodeTextBytes(bytes.str())));
    RichEditHelp->setFocus();
}

void HelpPage::TabSheetHelpExit() {
    ButtonOkHelp->setEnabled(false);
}

} // namespace kd
