#pragma once
#include "app/core/restore/ExtractOptions.h"
#include "lang/qt/TFrm_KD.h"
#include "platform/UiHost.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kd {

class TDirectoryEdit;
class TEditButton;

// The dialog "Extract Files": which entries to extract (all, the selected ones, those
// matching a mask), where to, a leading path to leave out, what to do with existing
// files, whether to recreate the stored directories and keep the stored attributes,
// and the password.
class TExtractDlg : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit TExtractDlg(UiHost& ui, QWidget* parent = nullptr);

    void setOptions(const ExtractOptions& options);
    ExtractOptions options() const;

    // Lets the user choose the destination, starting at the one shown.
    void DirBtnClick();

private:
    UiHost& ui_;
    QRadioButton *AllFilesRBtn, *SelectedFiles, *UseMask;
    QLineEdit *ExtractMask, *RelDir, *Password;
    TDirectoryEdit* DestDir;
    TEditButton* DirBtn;
    QComboBox* Overwrite;
    QCheckBox *RecreateDir, *RetainAttributesChk;
};

} // namespace kd
