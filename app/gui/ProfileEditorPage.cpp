#include "app/gui/ProfileEditorPage.h"

#include "app/core/profiles/ProfileTexts.h"
#include "app/gui/PageControls.h"
#include "lang/TResourceStrings.h"
#include "widgets/edits/TDirectoryEdit.h"
#include "widgets/spin/TKitSpinEdit.h"
#include "widgets/typed/TComboBoxVarox.h"
#include "widgets/typed/TEditVarox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace kd {
namespace {

QString q(std::string_view text) {
    return toQString(text);
}
std::string s(const QString& text) {
    return fromQString(text);
}

template <class Combo = QComboBox, class Items>
Combo* comboBox(QWidget* parent, const char* name, const Items& items) {
    auto* combo = new Combo(parent);
    combo->setObjectName(name);
    for (const auto& item : items)
        combo->addItem(q(item));
    return combo;
}

QTime timeOfDay(TDateTime value) {
    const double fraction = std::abs(value - std::trunc(value));
    const int ms = static_cast<int>(std::llround(fraction * 86400000.0)) % 86400000;
    return QTime::fromMSecsSinceStartOfDay(ms);
}

} // namespace

ProfileEditorPage::ProfileEditorPage(UiHost& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
    setObjectName("TabSheetEditNastav");
    buildControls();
    connect(ComboBoxDruhObdobi, &QComboBox::currentIndexChanged, this,
            &ProfileEditorPage::ComboBoxDruhObdobiChange);
    connect(BitBtnOk, &QPushButton::clicked, this, &ProfileEditorPage::okClicked);
    connect(BitBtnZrus, &QPushButton::clicked, this, &ProfileEditorPage::cancelClicked);
    connect(SpdBtnFiltrSoub, &QToolButton::clicked, this, &ProfileEditorPage::maskListClicked);
    connect(btn_NeuklAdresar, &QToolButton::clicked, this,
            &ProfileEditorPage::excludedDirsListClicked);
    // Enter moves on to the next field (the typed edits do that themselves); in the
    // password edit it asks for the password again.
    for (QWidget* w : {static_cast<QWidget*>(EditCilZal), static_cast<QWidget*>(EditStartZal),
                       static_cast<QWidget*>(EditNeuklSoub), static_cast<QWidget*>(EditPocInd),
                       static_cast<QWidget*>(EditDnuZal), static_cast<QWidget*>(EditObdobiAutZal),
                       static_cast<QWidget*>(edt_Pass), static_cast<QWidget*>(EditHeslo)})
        w->installEventFilter(this);
    for (TEditVarox* partSize : {EditVelPrvDisk, EditVelDalDisk})
        partSize->setOnExit([this, partSize] { partSizeLeft(partSize); });
}

void ProfileEditorPage::buildControls() {
    auto* grid = new QGridLayout;
    const auto lineEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        return edit;
    };
    const auto typedEdit = [this](const char* name, TEditType type = ttString) {
        auto* edit = new TEditVarox(this);
        edit->setObjectName(name);
        edit->setEditType(type);
        edit->setUiHost(&ui_);
        return edit;
    };
    const auto checkBox = [this](const char* name, const char* caption) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(name);
        return box;
    };
    const auto combo = [this](const char* name, const auto& items) {
        return comboBox(this, name, items);
    };
    const auto numberEdit = [&](const char* name, int max) {
        QLineEdit* edit = lineEdit(name);
        edit->setValidator(new QIntValidator(0, max, edit));
        return edit;
    };
    const auto withButton = [this](QLineEdit* edit, QToolButton*& button, const char* name) {
        auto* box = new QWidget(this);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        edit->setParent(box);
        button = new QToolButton(box);
        button->setObjectName(name);
        button->setText("...");
        row->addWidget(edit);
        row->addWidget(button);
        return box;
    };

    EditOznac = typedEdit("EditOznac");
    addLabelledField(grid, 0, 0, "Označení:", EditOznac,
                     "Jméno profilu, zároveň jméno jeho souborů");
    EditPopis = typedEdit("EditPopis");
    addLabelledField(grid, 1, 0, "Popis:", EditPopis, "Libovolný popis profilu");
    EditCilZal =
        browseDirectoryEdit(ui_, this, "EditCilZal", "Vyhledejte cestu, do které chcete zálohovat");
    addLabelledField(grid, 2, 0, "Kam zálohovat:", EditCilZal,
                     "Cílový adresář archivu (F3: výběr)");
    EditStartZal =
        browseDirectoryEdit(ui_, this, "EditStartZal", "Vyhledejte cestu, co zálohovat ");
    addLabelledField(grid, 3, 0, "Odkud zálohovat:", EditStartZal,
                     "Zálohovaný adresář (F3: výběr)");
    EditFiltr = typedEdit("EditFiltr");
    addLabelledField(grid, 4, 0,
                     "Filtr souborů:", withButton(EditFiltr, SpdBtnFiltrSoub, "SpdBtnFiltrSoub"),
                     "Masky zálohovaných souborů oddělené \";\"");
    EditNeuklSoub = lineEdit("EditNeuklSoub");
    addLabelledField(grid, 5, 0, "Neukládat soubory:", EditNeuklSoub,
                     "Masky souborů, které se nezálohují, oddělené \";\"");
    edt_NeklAdresar = typedEdit("edt_NeklAdresar");
    addLabelledField(grid, 6, 0, "Neukládat adresáře:",
                     withButton(edt_NeklAdresar, btn_NeuklAdresar, "btn_NeuklAdresar"),
                     "Adresáře, které se nezálohují, oddělené \";\"");
    EditPocInd = new TKitSpinEdit(this);
    EditPocInd->setObjectName("EditPocInd");
    EditPocInd->setMaxValue(kMaxVersionsKept);
    addLabelledField(grid, 7, 0, "Počet indexů:", EditPocInd,
                     "Počet uchovávaných číslovaných verzí archivu (0: jeden archiv bez čísla)");
    EditHeslo = lineEdit("EditHeslo");
    EditHeslo->setEchoMode(QLineEdit::Password);
    addLabelledField(grid, 8, 0, "Heslo:", EditHeslo,
                     "Heslo archivu; po zadání stiskněte Enter a heslo potvrďte");
    edt_Mail = typedEdit("edt_Mail");
    addLabelledField(grid, 9, 0, "E-mail:", edt_Mail, "Adresa, na kterou se archiv pošle");

    ComboBoxDElitArchiv = combo("ComboBoxDElitArchiv", kSplitComboItems);
    addLabelledField(grid, 0, 1, "Dělení archivu:", ComboBoxDElitArchiv, "Dělení archivu na části");
    EditVelPrvDisk = typedEdit("EditVelPrvDisk", ttInteger);
    addLabelledField(grid, 1, 1, "První část (B):", EditVelPrvDisk,
                     "Velikost první části archivu v bajtech");
    EditVelDalDisk = typedEdit("EditVelDalDisk", ttInteger);
    addLabelledField(grid, 2, 1, "Další části (B):", EditVelDalDisk,
                     "Velikost dalších částí v bajtech");
    ChBPokrSoub = comboBox<TComboBoxVarox>(this, "ChBPokrSoub", kBackupKindComboItems);
    addLabelledField(grid, 3, 1, "Druh zálohy:", ChBPokrSoub,
                     "Plná, podle stáří souborů nebo přírůstková");
    EditDnuZal = numberEdit("EditDnuZal", kMaxAgeDays);
    addLabelledField(grid, 4, 1, "Dnů stáří:", EditDnuZal,
                     "Zálohovat jen soubory mladší než počet dní");
    ComboBoxDruhObdobi = combo("ComboBoxDruhObdobi", kPeriodComboItems);
    addLabelledField(grid, 5, 1, "Automatická záloha:", ComboBoxDruhObdobi,
                     "Kdy se záloha spouští sama");
    auto* period = new QWidget(this);
    auto* periodRow = new QHBoxLayout(period);
    periodRow->setContentsMargins(0, 0, 0, 0);
    EditObdobiAutZal = numberEdit("EditObdobiAutZal", kMaxPeriodValue);
    EditObdobiAutZal->setParent(period);
    lbl_Druhobdobi = new QLabel(period);
    lbl_Druhobdobi->setObjectName("lbl_Druhobdobi");
    // The unit follows the chosen period kind, from the message table.
    markRunTimeText(lbl_Druhobdobi);
    periodRow->addWidget(EditObdobiAutZal);
    periodRow->addWidget(lbl_Druhobdobi);
    addLabelledField(grid, 6, 1, "Perioda:", period,
                     "Počet dní nebo minut, den v týdnu (1 pondělí) nebo den v měsíci");
    DateTimePickerStart = new QTimeEdit(this);
    DateTimePickerStart->setObjectName("DateTimePickerStart");
    DateTimePickerStart->setDisplayFormat("H:mm:ss");
    addLabelledField(grid, 7, 1, "Začátek:", DateTimePickerStart,
                     "Čas, od kterého se záloha smí spustit");
    edt_UserName = typedEdit("edt_UserName");
    edt_Pass = lineEdit("edt_Pass");
    edt_Pass->setEchoMode(QLineEdit::Password);
    addLabelledField(grid, 8, 1, "Uživatel sítě:", edt_UserName, "Uživatel síťového cíle");
    addLabelledField(grid, 9, 1, "Heslo sítě:", edt_Pass, "Heslo síťového cíle");
    // The network target's user and password are kept but not offered.
    for (int row : {8, 9})
        for (int column : {2, 3})
            grid->itemAtPosition(row, column)->widget()->hide();

    auto* boxes = new QGridLayout;
    ChBRecurse = checkBox("ChBRecurse", "Včetně podadresářů");
    ChBMazatDisk = checkBox("ChBMazatDisk", "Smazat výměnný disk");
    ChBSamoRozb = checkBox("ChBSamoRozb", "Samorozbalovací archiv");
    chb_ArchivniBit = checkBox("chb_ArchivniBit", "Jen soubory s archivním atributem");
    chb_ResetArcivBit = checkBox("chb_ResetArcivBit", "Nulovat archivní atribut");
    chb_ZalozitNovy = checkBox("chb_ZalozitNovy", "Vždy založit nový archiv");
    ChBPozastavit = checkBox("ChBPozastavit", "Pozastavit automatickou zálohu");
    ChBPoStartu = checkBox("ChBPoStartu", "Po startu");
    ChBPoStartu->hide();
    ChBPoStartu->setEnabled(false);
    QCheckBox* const shown[] = {ChBRecurse,        ChBMazatDisk,    ChBSamoRozb,  chb_ArchivniBit,
                                chb_ResetArcivBit, chb_ZalozitNovy, ChBPozastavit};
    for (int i = 0; i < 7; ++i)
        boxes->addWidget(shown[i], i / 2, i % 2);

    BitBtnOk = new QPushButton("&OK", this);
    BitBtnOk->setObjectName("BitBtnOk");
    BitBtnZrus = new QPushButton("&Zruš", this);
    BitBtnZrus->setObjectName("BitBtnZrus");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnZrus);
    StatusBar2 = new QStatusBar(this);
    StatusBar2->setObjectName("StatusBar2");
    StatusBar2->setSizeGripEnabled(false);
    showHints(this, StatusBar2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(boxes);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(StatusBar2);
}

void ProfileEditorPage::setValues(const ProfileEditorValues& v) {
    EditOznac->SetText(q(v.name));
    EditPopis->SetText(q(v.description));
    EditCilZal->setText(q(v.targetDir));
    EditStartZal->setText(q(v.sourceDir));
    EditFiltr->SetText(q(v.masks));
    EditPocInd->setText(q(v.versions));
    ChBMazatDisk->setChecked(v.wipeDisk);
    ComboBoxDElitArchiv->setCurrentIndex(v.splitIndex);
    EditVelPrvDisk->SetText(q(v.firstPartSize));
    EditVelDalDisk->SetText(q(v.nextPartSize));
    ChBRecurse->setChecked(v.recurse);
    ComboBoxDruhObdobi->setCurrentIndex(v.periodIndex);
    ComboBoxDruhObdobiChange(v.periodIndex);
    EditObdobiAutZal->setText(q(v.periodValue));
    DateTimePickerStart->setTime(timeOfDay(v.startTime));
    ChBPoStartu->setChecked(v.runAfterStart);
    ChBPozastavit->setChecked(v.paused);
    EditHeslo->setText(q(v.password));
    EditNeuklSoub->setText(q(v.excludedMasks));
    ChBPokrSoub->setCurrentIndex(v.backupKindIndex);
    EditDnuZal->setText(q(v.ageDays));
    ChBSamoRozb->setChecked(v.selfExtract);
    chb_ArchivniBit->setChecked(v.archiveBitOnly);
    chb_ResetArcivBit->setChecked(v.resetArchiveBit);
    edt_NeklAdresar->SetText(q(v.excludedDirs));
    chb_ZalozitNovy->setChecked(v.newArchive);
    edt_Mail->SetText(q(v.mailTo));
    edt_UserName->SetText(q(v.netUser));
    edt_Pass->setText(q(v.netPassword));
}

ProfileEditorValues ProfileEditorPage::values() const {
    ProfileEditorValues v;
    v.name = s(EditOznac->GetText());
    v.description = s(EditPopis->GetText());
    v.targetDir = s(EditCilZal->text());
    v.sourceDir = s(EditStartZal->text());
    v.masks = s(EditFiltr->GetText());
    v.versions = s(EditPocInd->text());
    v.wipeDisk = ChBMazatDisk->isChecked();
    v.splitIndex = ComboBoxDElitArchiv->currentIndex();
    v.firstPartSize = s(EditVelPrvDisk->GetText());
    v.nextPartSize = s(EditVelDalDisk->GetText());
    v.recurse = ChBRecurse->isChecked();
    v.periodIndex = ComboBoxDruhObdobi->currentIndex();
    v.periodValue = s(EditObdobiAutZal->text());
    v.startTime = DateTimePickerStart->time().msecsSinceStartOfDay() / 86400000.0;
    v.runAfterStart = ChBPoStartu->isChecked();
    v.paused = ChBPozastavit->isChecked();
    v.password = s(EditHeslo->text());
    v.excludedMasks = s(EditNeuklSoub->text());
    v.backupKindIndex = ChBPokrSoub->currentIndex();
    v.ageDays = s(EditDnuZal->text());
    v.selfExtract = ChBSamoRozb->isChecked();
    v.archiveBitOnly = chb_ArchivniBit->isChecked();
    v.resetArchiveBit = chb_ResetArcivBit->isChecked();
    v.excludedDirs = s(edt_NeklAdresar->GetText());
    v.newArchive = chb_ZalozitNovy->isChecked();
    v.mailTo = s(edt_Mail->GetText());
    v.netUser = s(edt_UserName->GetText());
    v.netPassword = s(edt_Pass->text());
    return v;
}

std::string ProfileEditorPage::password() const {
    return s(EditHeslo->text());
}

void ProfileEditorPage::clearPassword() {
    EditHeslo->clear();
}

void ProfileEditorPage::TabSheetEditNastavEnter() {
    EditOznac->setFocus();
}

void ProfileEditorPage::ComboBoxDruhObdobiChange(int index) {
    lbl_Druhobdobi->setText(
        q(periodUnitText(index, ResourceStrings.GetText(profile_msg::DaysUnit))));
}

void ProfileEditorPage::partSizeLeft(QLineEdit* edit) {
    if (partSizeNeedsWarning(s(edit->text())))
        ui_.messageBox(ResourceStrings.GetText(profile_msg::PartSizeTooSmall),
                       ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok,
                       MsgIcon::Warning);
}

bool ProfileEditorPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == EditHeslo)
                emit passwordEntered();
            focusNextChild();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kd
