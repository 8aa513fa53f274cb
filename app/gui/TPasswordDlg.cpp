#include "app/gui/TPasswordDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kd {

TPasswordDlg::TPasswordDlg(QWidget* parent) : TFrm_KD(parent) {
    setObjectName("PasswordDlg");
    setWindowTitle("Heslo");
    Label1 = new QLabel("Zadejte heslo :", this);
    Label1->setObjectName("Label1");
    edt_Password = new QLineEdit(this);
    edt_Password->setObjectName("edt_Password");
    edt_Password->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(edt_Password);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QString::fromUtf8("Zruš"), this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addWidget(edt_Password);
    column->addLayout(buttons);
    setMinimumWidth(280);
}

std::optional<std::string> TPasswordDlg::ask() {
    edt_Password->clear();
    edt_Password->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return edt_Password->text().toStdString();
}

} // namespace kd
