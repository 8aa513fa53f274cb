#include "app/gui/TListDialog.h"

#include "app/gui/ListText.h"
#include "app/gui/PageControls.h"
#include "widgets/edits/TCustomComboEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kd {

TListDialog::TListDialog(const char* name, const char* caption, QWidget* parent) : TFrm_KD(parent) {
    setObjectName(name);
    setWindowTitle(QString::fromUtf8(caption));
    setModal(true);
    BtnAdd = new QPushButton(QString::fromUtf8("Přidat"), this);
    BtnAdd->setObjectName("BtnAdd");
    BtnDelete = new QPushButton(QString::fromUtf8("Smazat"), this);
    BtnDelete->setObjectName("BtnDelete");
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    markRunTimeText(ListBox1); // the caller's list, not a text to translate
    BitBtnOK = new QPushButton("OK", this);
    BitBtnOK->setObjectName("BitBtnOK");
    BitBtn2 = new QPushButton(QString::fromUtf8("&Zruš"), this);
    BitBtn2->setObjectName("BitBtn2");
    // Enter belongs to the input (it adds a line), never to a default button.
    for (QPushButton* button : {BtnAdd, BtnDelete, BitBtnOK, BitBtn2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    inputRow_ = new QHBoxLayout;
    inputRow_->addWidget(BtnAdd);
    inputRow_->addWidget(BtnDelete);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOK);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputRow_);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
    resize(460, 320);

    connect(BtnAdd, &QPushButton::clicked, this, &TListDialog::BtnAddClick);
    connect(BtnDelete, &QPushButton::clicked, this, &TListDialog::BtnDeleteClick);
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    ListBox1->installEventFilter(this);
}

void TListDialog::setInput(TCustomComboEdit* edit) {
    FilenameEdit1 = edit;
    FilenameEdit1->setObjectName("FilenameEdit1");
    FilenameEdit1->OnKeyPress = [this](TCustomComboEdit& sender, int& key) {
        FilenameEdit1KeyPress(sender, key);
    };
    inputRow_->insertWidget(0, FilenameEdit1, 1);
    setTabOrder(FilenameEdit1, BtnAdd);
}

void TListDialog::showEvent(QShowEvent* event) {
    ListBox1->clear();
    for (const std::string& line : splitListText(ListText))
        ListBox1->addItem(toQString(line));
    QDialog::showEvent(event);
}

void TListDialog::done(int result) {
    if (result == QDialog::Accepted) {
        std::vector<std::string> lines;
        for (int i = 0; i < ListBox1->count(); ++i)
            lines.push_back(fromQString(ListBox1->item(i)->text()));
        ListText = joinListText(lines);
    }
    QDialog::done(result);
}

void TListDialog::BtnAddClick() {
    const std::string input = fromQString(FilenameEdit1->text());
    if (!input.empty())
        ListBox1->addItem(toQString(lineFromInput(input)));
}

void TListDialog::BtnDeleteClick() {
    if (QListWidgetItem* item = ListBox1->currentItem(); item && item->isSelected())
        delete ListBox1->takeItem(ListBox1->row(item));
}

void TListDialog::FilenameEdit1KeyPress(TCustomComboEdit& sender, int& key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    // Taken: the dialog stays open and the input becomes a line.
    key = 0;
    BtnAddClick();
    sender.clear();
}

bool TListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ListBox1 &&
            (key->text() == QLatin1String(".") || key->key() == Qt::Key_Delete)) {
            BtnDeleteClick();
            return true;
        }
    }
    return TFrm_KD::eventFilter(watched, event);
}

} // namespace kd
