#include "app/gui/SettingsPage.h"

#include "app/core/settings/OverwriteChoice.h"
#include "app/gui/PageControls.h"
#include "widgets/edits/TDirectoryEdit.h"
#include "widgets/spin/TKitSpinEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kd {

SettingsPage::SettingsPage(UiHost& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
    setObjectName("TabSheetNastaven");
    buildControls();
    connect(ButtonOk, &QPushButton::clicked, this, &SettingsPage::okClicked);
    connect(ButtonZrusNast, &QPushButton::clicked, this, &SettingsPage::cancelClicked);
    for (QWidget* w :
         {static_cast<QWidget*>(EditInterval), static_cast<QWidget*>(EditNastCilZal),
          static_cast<QWidget*>(EditNastStartZal), static_cast<QWidget*>(edt_TemAdresar),
          static_cast<QWidget*>(edt_PackLevel), static_cast<QWidget*>(edt_Heslo),
          static_cast<QWidget*>(edt_PasswordAdmin), static_cast<QWidget*>(edt_LogZalohy)})
        w->installEventFilter(this);
}

void SettingsPage::buildControls() {
    const auto lineEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        return edit;
    };
    const auto checkBox = [this](const char* name, const char* caption, const char* hint) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(name);
        box->setStatusTip(QString::fromUtf8(hint));
        return box;
    };
    const auto combo = [this](const char* name, const auto& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(name);
        for (std::string_view item : items)
            box->addItem(toQString(item));
        return box;
    };
    const auto directoryField = [this](QGridLayout* grid, int row, const char* name,
                                       const char* caption, const char* hint, const char* prompt) {
        TDirectoryEdit* edit = browseDirectoryEdit(ui_, this, name, prompt);
        addLabelledField(grid, row, 0, caption, edit, hint);
        return edit;
    };

    auto* startGroup = new QGroupBox(QString::fromUtf8("Typ automatického spuštění"), this);
    startGroup->setObjectName("RGTypSpusteni");
    RGTypSpusteni = new QButtonGroup(startGroup);
    auto* startColumn = new QVBoxLayout(startGroup);
    for (std::size_t i = 0; i < kStartModeItems.size(); ++i) {
        auto* button = new QRadioButton(toQString(kStartModeItems[i]), startGroup);
        button->setObjectName(QString("RGTypSpusteni%1").arg(i));
        button->setStatusTip(QString::fromUtf8("Co program udělá po spuštění se systémem"));
        RGTypSpusteni->addButton(button, static_cast<int>(i));
        startColumn->addWidget(button);
    }

    auto* grid = new QGridLayout;
    EditInterval = lineEdit("EditInterval");
    addLabelledField(grid, 0, 0, "Interval zálohování:", EditInterval,
                     "Po kolika minutách se kontroluje plán záloh (1 až 35791)");
    EditNastCilZal = directoryField(grid, 1, "EditNastCilZal", "Nabízet cíl zálohování:",
                                    "Cílový adresář nabízený novému profilu (F3: výběr)",
                                    "Vyhledejte cestu, do které chcete zálohovat");
    EditNastStartZal = directoryField(grid, 2, "EditNastStartZal", "Nabízet start.zálohování:",
                                      "Zálohovaný adresář nabízený novému profilu (F3: výběr)",
                                      "Vyhledejte cestu standartního zdroje zálohování");
    edt_TemAdresar =
        directoryField(grid, 3, "edt_TemAdresar",
                       "Dočasný adresář:", "Adresář pro dočasné soubory archivace (F3: výběr)",
                       "Vyhledejte cestu dočasného adresáře");
    edt_LogZalohy = directoryField(grid, 4, "edt_LogZalohy", "Adresář zpráv o zálohách:",
                                   "Adresář protokolu záloh; prázdný: adresář programu (F3: výběr)",
                                   "Vyhledejte adresář pro zprávy o zálohách");
    Overwrite = combo("Overwrite", kOverwriteChoiceItems);
    addLabelledField(grid, 0, 1, "Přepisovat:", Overwrite, "Kdy obnova přepíše existující soubor");
    edt_PackLevel = new TKitSpinEdit(this);
    edt_PackLevel->setObjectName("edt_PackLevel");
    edt_PackLevel->setMaxValue(kMaxPackLevel);
    edt_PackLevel->setDecimal(0);
    addLabelledField(grid, 1, 1, "Stupeň komprese:", edt_PackLevel,
                     "0 bez komprese, 9 nejvyšší komprese");
    edt_Heslo = lineEdit("edt_Heslo");
    edt_Heslo->setEchoMode(QLineEdit::Password);
    addLabelledField(grid, 2, 1, "Heslo pro úpravy:", edt_Heslo,
                     "Heslo pro vytvoření, úpravu a smazání profilu; prázdné: bez hesla");
    edt_PasswordAdmin = lineEdit("edt_PasswordAdmin");
    edt_PasswordAdmin->setEchoMode(QLineEdit::Password);
    addLabelledField(grid, 3, 1, "Heslo pro administraci:", edt_PasswordAdmin,
                     "Heslo pro otevření nastavení; prázdné: bez hesla");
    cb_Language = combo("cb_Language", kLanguageItems);
    addLabelledField(grid, 4, 1, "Jazyk:", cb_Language, "Jazyk programu");

    auto* boxes = new QGridLayout;
    ChBBezDotazu =
        checkBox("ChBBezDotazu", "Zálohuj bez dotazu", "Plánované zálohy se spustí bez dotazu");
    ChBInformZip =
        checkBox("ChBInformZip", "Informace o zálohování", "Podrobný protokol a souhrn po záloze");
    chb_FullPath = checkBox("chb_FullPath", "Plná cesta k souborům",
                            "Ukládat do archivu plné cesty k souborům");
    chb_DodrzCas = checkBox("chb_DodrzCas", "Dodržet čas zálohování",
                            "Plánovaná záloha jen do dvou hodin po času spuštění");
    boxes->addWidget(ChBBezDotazu, 0, 0);
    boxes->addWidget(ChBInformZip, 0, 1);
    boxes->addWidget(chb_FullPath, 1, 0);
    boxes->addWidget(chb_DodrzCas, 1, 1);

    ButtonOk = new QPushButton("&Ok", this);
    ButtonOk->setObjectName("ButtonOk");
    ButtonZrusNast = new QPushButton("&Zruš", this);
    ButtonZrusNast->setObjectName("ButtonZrusNast");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonZrusNast);
    StatusBar3 = new QStatusBar(this);
    StatusBar3->setObjectName("StatusBar3");
    StatusBar3->setSizeGripEnabled(false);
    showHints(this, StatusBar3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(startGroup);
    layout->addLayout(grid);
    layout->addLayout(boxes);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(StatusBar3);
}

void SettingsPage::setValues(const SettingsPageValues& v) {
    if (QAbstractButton* button = RGTypSpusteni->button(v.startMode)) {
        button->setChecked(true);
    } else if (QAbstractButton* checked = RGTypSpusteni->checkedButton()) {
        RGTypSpusteni->setExclusive(false);
        checked->setChecked(false);
        RGTypSpusteni->setExclusive(true);
    }
    ChBBezDotazu->setChecked(v.noQuestions);
    ChBInformZip->setChecked(v.detailedInfo);
    EditInterval->setText(toQString(v.interval));
    chb_FullPath->setChecked(v.fullPath);
    chb_DodrzCas->setChecked(v.keepTime);
    EditNastCilZal->setText(toQString(v.initDestDir));
    EditNastStartZal->setText(toQString(v.initRootDir));
    edt_TemAdresar->setText(toQString(v.tempDir));
    Overwrite->setCurrentIndex(v.overwritePosition);
    edt_PackLevel->setText(QString::number(v.packLevel));
    edt_Heslo->setText(toQString(v.profilePassword));
    edt_PasswordAdmin->setText(toQString(v.adminPassword));
    edt_LogZalohy->setText(toQString(v.logDir));
    cb_Language->setCurrentIndex(v.languagePosition);
}

SettingsPageValues SettingsPage::values() const {
    SettingsPageValues v;
    v.startMode = RGTypSpusteni->checkedId();
    v.noQuestions = ChBBezDotazu->isChecked();
    v.detailedInfo = ChBInformZip->isChecked();
    v.interval = fromQString(EditInterval->text());
    v.fullPath = chb_FullPath->isChecked();
    v.keepTime = chb_DodrzCas->isChecked();
    v.initDestDir = fromQString(EditNastCilZal->text());
    v.initRootDir = fromQString(EditNastStartZal->text());
    v.tempDir = fromQString(edt_TemAdresar->text());
    v.overwritePosition = Overwrite->currentIndex();
    // A level out of bounds (left by a shortcut key before the field was left) or no
    // number at all is refused by the settings' check.
    bool isNumber = false;
    const int level = edt_PackLevel->text().trimmed().toInt(&isNumber);
    v.packLevel = isNumber ? level : -1;
    v.profilePassword = fromQString(edt_Heslo->text());
    v.adminPassword = fromQString(edt_PasswordAdmin->text());
    v.logDir = fromQString(edt_LogZalohy->text());
    v.languagePosition = cb_Language->currentIndex();
    return v;
}

void SettingsPage::focusFirst() {
    EditInterval->setFocus();
}

void SettingsPage::focusField(EBadSettingsValue::Field field) {
    switch (field) {
    case EBadSettingsValue::Field::Interval:
        EditInterval->setFocus();
        EditInterval->selectAll();
        break;
    case EBadSettingsValue::Field::PackLevel:
        edt_PackLevel->setFocus();
        break;
    case EBadSettingsValue::Field::Text:
        EditNastCilZal->setFocus();
        break;
    }
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit cancelClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kd
