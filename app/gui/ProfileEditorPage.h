#pragma once
#include "app/core/profiles/ProfileEditorValues.h"
#include "platform/UiHost.h"
#include "widgets/typed/TEditVarox.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimeEdit;
class QToolButton;

namespace kd {

class TComboBoxVarox;
class TKitSpinEdit;

// The page "EditNastavení": the profile editor. It shows and returns the editor's
// values; saving, the password confirmation and the checks live with the caller.
class ProfileEditorPage : public QWidget {
    Q_OBJECT
public:
    ProfileEditorPage(UiHost& ui, QWidget* parent = nullptr);

    void setValues(const ProfileEditorValues& values);
    ProfileEditorValues values() const;

    std::string password() const;
    void clearPassword();
    // The name edit gets the focus (entering the page).
    void TabSheetEditNastavEnter();

    // Leaving a part-size edit: warns when the size is below 100 kB.
    void partSizeLeft(QLineEdit* edit);
    // The period kind changed: the unit label follows.
    void ComboBoxDruhObdobiChange(int index);

    // The fields the list dialogs edit, and where their browsing starts.
    QLineEdit* maskEdit() const { return EditFiltr; }
    QLineEdit* excludedDirsEdit() const { return edt_NeklAdresar; }
    QLineEdit* sourceDirectoryEdit() const { return EditStartZal; }

signals:
    void okClicked();
    void cancelClicked();
    void passwordEntered();         // Enter in the password edit
    void maskListClicked();         // "..." beside the file masks
    void excludedDirsListClicked(); // "..." beside the excluded directories

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();

    UiHost& ui_;
    TEditVarox *EditOznac, *EditPopis, *EditFiltr, *edt_NeklAdresar, *EditVelPrvDisk;
    TEditVarox *EditVelDalDisk, *edt_Mail, *edt_UserName;
    QLineEdit *EditCilZal, *EditStartZal, *EditNeuklSoub, *EditDnuZal;
    QLineEdit *EditObdobiAutZal, *EditHeslo, *edt_Pass;
    TKitSpinEdit* EditPocInd;
    TComboBoxVarox* ChBPokrSoub;
    QComboBox *ComboBoxDElitArchiv, *ComboBoxDruhObdobi;
    QCheckBox *ChBMazatDisk, *ChBRecurse, *ChBSamoRozb, *chb_ArchivniBit, *chb_ResetArcivBit;
    QCheckBox *chb_ZalozitNovy, *ChBPozastavit, *ChBPoStartu;
    QLabel* lbl_Druhobdobi;
    QTimeEdit* DateTimePickerStart;
    QToolButton *SpdBtnFiltrSoub, *btn_NeuklAdresar;
    QPushButton *BitBtnOk, *BitBtnZrus;
    QStatusBar* StatusBar2;
};

} // namespace kd
