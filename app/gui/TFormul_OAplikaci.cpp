#include "app/gui/TFormul_OAplikaci.h"

#include "app/core/main/ProgramVersion.h"
#include "app/gui/PageControls.h"
#include "lang/LanguageFiles.h"
#include "lang/TResourceStrings.h"
#include "platform/Paths.h"
#include "widgets/link/TLinkLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

namespace kd {
namespace {

// The project's mail address; it has none yet, so the mail line stays hidden.
constexpr const char* kProjectMail = "";

} // namespace

std::string TFormul_OAplikaci::webAddress(const std::string& executablePath) {
    return helpFilePath(std::filesystem::path(executablePath).parent_path().string(), LanguageCode);
}

TFormul_OAplikaci::TFormul_OAplikaci(const std::string& executablePath, QWidget* parent)
    : TFrm_KD(parent) {
    setObjectName("Formul_OAplikaci");
    setWindowTitle("O aplikaci");
    auto* ProductName = new QLabel("Kordyne", this);
    ProductName->setObjectName("ProductName");
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    ProductName->setFont(big);
    auto* Comments = new QLabel(QString::fromUtf8("Správce záloh: profily, plány, obnova"), this);
    Comments->setObjectName("Comments");
    Version = new QLabel(this);
    Version->setObjectName("Version");
    markRunTimeText(Version);
    const std::string program = executablePath.empty() ? kd::executablePath() : executablePath;
    lbl_Web = new TLinkLabel(this);
    lbl_Web->setObjectName("lbl_Web");
    markRunTimeText(lbl_Web);
    lbl_Web->SetLinkType(TLinkType::ltfile);
    lbl_Web->SetHyperLink(toQString(webAddress(program)));
    lbl_Mail = new TLinkLabel(this);
    lbl_Mail->setObjectName("lbl_Mail");
    markRunTimeText(lbl_Mail);
    lbl_Mail->SetLinkType(TLinkType::ltmailto);
    lbl_Mail->setText(QString("e-mail :   ") + kProjectMail);
    lbl_Mail->SetHyperLink(kProjectMail);
    lbl_Mail->setVisible(*kProjectMail != '\0');
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProductName);
    layout->addWidget(Comments);
    layout->addWidget(Version);
    layout->addWidget(lbl_Web);
    layout->addWidget(lbl_Mail);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    layout->addLayout(buttons);
    FormCreate(program);
}

void TFormul_OAplikaci::FormCreate(const std::string& executablePath) {
    Version->setText(toQString(versionLabelText(executablePath, LanguageCode)));
}

} // namespace kd
