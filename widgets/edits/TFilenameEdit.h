#pragma once
#include "widgets/edits/TFileDirEdit.h"

namespace kd {

enum class TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

// A browse edit for a file name, chosen through the UI host's file dialog.
class TFilenameEdit : public TFileDirEdit {
    Q_OBJECT
    // The dialog's filter and title as texts of the form, which the form's language
    // replaces.
    Q_PROPERTY(QString Filter READ filterProperty WRITE setFilterProperty)
    Q_PROPERTY(QString DialogTitle READ dialogTitleProperty WRITE setDialogTitleProperty)
public:
    // The values the file dialog starts from and keeps between uses.
    struct DialogSettings {
        std::string defaultExt;
        std::string fileName;
        std::string filter = "All files (*.*)|*.*";
        int filterIndex = 1;
        std::string initialDir;
        std::string title = "Browse";
        bool multiSelect = false;
        std::vector<std::string> files; // the selected (or dropped) names
    };

    explicit TFilenameEdit(UiHost& ui, QWidget* parent = nullptr) : TFileDirEdit(ui, parent) {}

    TFileDialogKind DialogKind() const { return dialogKind_; }
    // A new kind keeps every setting of the dialog.
    void setDialogKind(TFileDialogKind kind) { dialogKind_ = kind; }
    const DialogSettings& Dialog() const { return dialog_; }
    const std::string& Filter() const { return dialog_.filter; }
    void setFilter(std::string filter) { dialog_.filter = std::move(filter); }
    const std::string& InitialDir() const { return dialog_.initialDir; }
    void setInitialDir(std::string dir) { dialog_.initialDir = std::move(dir); }
    const std::string& DialogTitle() const { return dialog_.title; }
    void setDialogTitle(std::string title) { dialog_.title = std::move(title); }
    QString filterProperty() const { return QString::fromStdString(dialog_.filter); }
    void setFilterProperty(const QString& filter) { dialog_.filter = filter.toStdString(); }
    QString dialogTitleProperty() const { return QString::fromStdString(dialog_.title); }
    void setDialogTitleProperty(const QString& title) { dialog_.title = title.toStdString(); }
    // Several files may be chosen or dropped; turning it off clears the selection.
    void setMultiSelect(bool value);

    // The text as a file name (quotes removed).
    std::string FileName() const;
    // Throws EComboEditError for a name that is not valid.
    void setFileName(const std::string& name);

    std::string LongPathText() const override;
    std::string ShortPathText() const override;
    void ButtonAction() override;

protected:
    void AcceptDroppedName(const std::string& name) override;
    void ClearDroppedNames() override { dialog_.files.clear(); }

private:
    TFileDialogKind dialogKind_ = TFileDialogKind::dkOpen;
    DialogSettings dialog_;
};

// The "description|patterns|..." filter as Qt's "description (patterns);;..." list;
// "*.*" matches every name, and a description's own "(...)" gives way to the patterns.
std::string QtFileFilter(const std::string& filter);

} // namespace kd
