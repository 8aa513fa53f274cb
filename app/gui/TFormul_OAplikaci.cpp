#include "app/gui/TFormul_OAplikaci.h"

#include "app/core/main/ProgramVersion.h"
#include "app/gui/PageControls.h"
#include "platform/Paths.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kd {

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
    Version->setProperty("kdData", true);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProductName);
    layout->addWidget(Comments);
    layout->addWidget(Version);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    layout->addLayout(buttons);
    FormCreate(executablePath.empty() ? kd::executablePath() : executablePath);
}

void TFormul_OAplikaci::FormCreate(const std::string& executablePath) {
    Version->setText(toQString(versionLabelText(executablePath)));
}

} // namespace kd
