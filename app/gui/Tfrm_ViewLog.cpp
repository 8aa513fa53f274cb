#include "app/gui/Tfrm_ViewLog.h"

#include "app/gui/LogView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kd {

Tfrm_ViewLog::Tfrm_ViewLog(QWidget* parent) : TFrm_KD(parent) {
    setObjectName("frm_ViewLog");
    setWindowTitle(QString::fromUtf8("Prohlížení logu"));
    Log = new LogView(this);
    btn_Ok = new QPushButton("Ok", this);
    btn_Ok->setObjectName("btn_Ok");
    connect(btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Log, 1);
    layout->addLayout(buttons);
    resize(720, 480);
}

void Tfrm_ViewLog::load(const std::string& path) {
    Log->load(path);
}

} // namespace kd
