#pragma once
#include "app/core/settings/SettingsPageValues.h"
#include "platform/UiHost.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace kd {

class TKitSpinEdit;

// The page "Nastavení": the program settings. It shows and returns the controls'
// values; what they mean, OK and Cancel live in SettingsPageSession. Choices are read
// and set by position, so translated item texts change nothing.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    SettingsPage(UiHost& ui, QWidget* parent = nullptr);

    void setValues(const SettingsPageValues& values);
    SettingsPageValues values() const;

    // The first control gets the focus (entering the page).
    void focusFirst();
    // The control of a value that could not be saved gets the focus.
    void focusField(EBadSettingsValue::Field field);

signals:
    void okClicked();
    void cancelClicked();

protected:
    // Enter in an edit moves to the next control; Escape cancels.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();

    UiHost& ui_;
    QButtonGroup* RGTypSpusteni;
    QCheckBox *ChBBezDotazu, *ChBInformZip, *chb_FullPath, *chb_DodrzCas;
    QLineEdit *EditInterval, *EditNastCilZal, *EditNastStartZal, *edt_TemAdresar;
    QLineEdit *edt_Heslo, *edt_PasswordAdmin, *edt_LogZalohy;
    QComboBox *Overwrite, *cb_Language;
    TKitSpinEdit* edt_PackLevel;
    QPushButton *ButtonOk, *ButtonZrusNast;
    QStatusBar* StatusBar3;
};

} // namespace kd
