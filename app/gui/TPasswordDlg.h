#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kd {

// The password question of the profile and settings guards: a masked edit, OK and
// Cancel.
class TPasswordDlg : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    // Shows the dialog modally with an empty edit; the typed text when closed with OK,
    // nullopt when cancelled.
    std::optional<std::string> ask();

    QLineEdit* passwordEdit() const { return edt_Password; }

private:
    QLabel* Label1;
    QLineEdit* edt_Password;
    QPushButton *OKBtn, *CancelBtn;
};

} // namespace kd
