#pragma once
#include "lang/qt/TFrm_KD.h"
#include "platform/UiHost.h"

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace kd {

// What the two list dialogs of the profile editor share: an input with a browse
// button, "Přidat" and "Smazat", the list and OK / "&Zruš". ListText is the
// ";"-separated list the caller passes in and, after OK, reads back.
class TListDialog : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    std::string ListText;

    // Where the browse dialog of the input starts.
    void setInitialDirectory(std::string directory) { initialDirectory_ = std::move(directory); }

    void BtnAddClick();
    void BtnDeleteClick();

    QLineEdit* FilenameEdit1;
    QListWidget* ListBox1;
    QToolButton* FilenameEdit1Button;
    QPushButton *BtnAdd, *BtnDelete, *BitBtnOK, *BitBtn2;

    void done(int result) override;

protected:
    TListDialog(UiHost& ui, const char* name, const char* caption, QWidget* parent);
    // The line the input adds.
    virtual std::string lineFromInput(const std::string& input) const = 0;
    // Asks for a file or directory through the UI host, starting in start.
    virtual std::optional<std::string> browse(UiHost& ui, const std::string& start) const = 0;

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FilenameEdit1KeyPress();
    void browseClicked();

    UiHost& ui_;
    std::string initialDirectory_;
};

} // namespace kd
