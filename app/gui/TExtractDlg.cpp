#include "app/gui/TExtractDlg.h"

#include "app/core/settings/OverwriteChoice.h"
#include "app/gui/ColumnFit.h"
#include "app/gui/PageControls.h"
#include "widgets/edits/TDirectoryEdit.h"
#include "widgets/window/ReshowInPlace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kd {

TExtractDlg::TExtractDlg(UiHost& ui, QWidget* parent) : TFrm_KD(parent), ui_(ui) {
    setObjectName("ExtractDlg");
    setWindowTitle("Rozbalit soubory");

    auto* choice = new QGroupBox(this);
    auto* choiceColumn = new QVBoxLayout(choice);
    const auto radio = [choice, choiceColumn](const char* name, const char* caption) {
        auto* button = new QRadioButton(QString::fromUtf8(caption), choice);
        button->setObjectName(name);
        choiceColumn->addWidget(button);
        return button;
    };
    AllFilesRBtn = radio("AllFilesRBtn", "Všechny soubory");
    SelectedFiles = radio("SelectedFiles", "Označené soubory");
    UseMask = radio("UseMask", "Dle masky");
    ExtractMask = new QLineEdit("*.*", choice);
    ExtractMask->setObjectName("ExtractMask");
    choiceColumn->addWidget(ExtractMask);
    AllFilesRBtn->setChecked(true);

    DestDir = browseDirectoryEdit(ui_, this, "DestDir", "");
    // The edit's browse button, under the dialog's own name.
    DirBtn = DestDir->Button();
    DirBtn->setObjectName("DirBtn");
    RelDir = new QLineEdit(this);
    RelDir->setObjectName("RelDir");
    Overwrite = new QComboBox(this);
    Overwrite->setObjectName("Overwrite");
    for (std::string_view item : kOverwriteChoiceItems)
        Overwrite->addItem(toQString(item));
    RecreateDir = new QCheckBox(QString::fromUtf8("Vytvořit originální adresář"), this);
    RecreateDir->setObjectName("RecreateDir");
    RecreateDir->setChecked(true);
    RetainAttributesChk = new QCheckBox(QString::fromUtf8("Uchovat původní atributy"), this);
    RetainAttributesChk->setObjectName("RetainAttributesChk");
    RetainAttributesChk->setChecked(true);
    Password = new QLineEdit(this);
    Password->setObjectName("Password");
    Password->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    const auto labelled = [this, form](const char* caption, QWidget* field) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setObjectName("lbl_" + fieldName(field));
        label->setBuddy(field);
        form->addRow(label, field);
    };
    labelled("Cíl:", DestDir);
    labelled("Relativní adresář (volitelně)", RelDir);
    labelled("Přepisovat:", Overwrite);
    form->addRow(RecreateDir);
    form->addRow(RetainAttributesChk);
    labelled("Heslo:", Password);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QString::fromUtf8("&Zruš"), QDialogButtonBox::RejectRole);
    cancel->setObjectName("CancelBtn");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(choice);
    column->addLayout(form);
    column->addWidget(buttons);
    // The one dialog of the run opens again where, and as large as, it was closed.
    new ReshowInPlace(*this);
}

void TExtractDlg::setOptions(const ExtractOptions& options) {
    switch (options.choice) {
    case ExtractChoice::All:
        AllFilesRBtn->setChecked(true);
        break;
    case ExtractChoice::Selected:
        SelectedFiles->setChecked(true);
        break;
    case ExtractChoice::Mask:
        UseMask->setChecked(true);
        break;
    }
    ExtractMask->setText(toQString(options.mask));
    DestDir->setText(toQString(options.destDir));
    showWholeText(*DestDir);
    RelDir->setText(toQString(options.relDir));
    Overwrite->setCurrentIndex(options.overwritePosition);
    RecreateDir->setChecked(options.recreateDirs);
    RetainAttributesChk->setChecked(options.retainAttributes);
    Password->setText(toQString(options.password));
}

ExtractOptions TExtractDlg::options() const {
    ExtractOptions options;
    options.choice = AllFilesRBtn->isChecked()    ? ExtractChoice::All
                     : SelectedFiles->isChecked() ? ExtractChoice::Selected
                                                  : ExtractChoice::Mask;
    options.mask = fromQString(ExtractMask->text());
    options.destDir = fromQString(DestDir->text());
    options.relDir = fromQString(RelDir->text());
    options.overwritePosition = Overwrite->currentIndex();
    options.recreateDirs = RecreateDir->isChecked();
    options.retainAttributes = RetainAttributesChk->isChecked();
    options.password = fromQString(Password->text());
    return options;
}

void TExtractDlg::DirBtnClick() {
    DestDir->Button()->Click();
    showWholeText(*DestDir);
}

} // namespace kd
