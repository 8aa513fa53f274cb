#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace kd {

class TLinkLabel;

// The about box: the program, its version and date, the project's addresses.
class TFormul_OAplikaci : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    // executablePath: the program file whose date the version line shows; empty: this
    // process's executable.
    explicit TFormul_OAplikaci(const std::string& executablePath = {}, QWidget* parent = nullptr);

    // The project's address: its help file beside the program, in the current language
    // where there is one.
    static std::string webAddress(const std::string& executablePath);

    QLabel* Version;
    TLinkLabel* lbl_Web;
    TLinkLabel* lbl_Mail; // shown only when the project has a mail address
    QPushButton* OKButton;

private:
    void FormCreate(const std::string& executablePath);
};

} // namespace kd
