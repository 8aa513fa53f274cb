#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>
#include <string>

class QHBoxLayout;
class QListWidget;
class QPushButton;

namespace kd {

class TCustomComboEdit;

// What the two list dialogs of the profile editor share: a browse edit as the input,
// "Přidat" and "Smazat", the list and OK / "&Zruš". ListText is the ";"-separated
// list the caller passes in and, after OK, reads back.
class TListDialog : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    std::string ListText;

    // Where the browse dialog of the input starts while the input is empty.
    virtual void setInitialDirectory(std::string directory) = 0;

    void BtnAddClick();
    void BtnDeleteClick();

    TCustomComboEdit* FilenameEdit1 = nullptr;
    QListWidget* ListBox1;
    QPushButton *BtnAdd, *BtnDelete, *BitBtnOK, *BitBtn2;

    void done(int result) override;

protected:
    TListDialog(const char* name, const char* caption, QWidget* parent);
    // Places the input, a browse edit of this dialog, before the buttons; the
    // constructor of each dialog calls it once.
    void setInput(TCustomComboEdit* edit);
    // The line the input adds.
    virtual std::string lineFromInput(const std::string& input) const = 0;

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FilenameEdit1KeyPress(TCustomComboEdit& sender, int& key);

    QHBoxLayout* inputRow_;
};

} // namespace kd
