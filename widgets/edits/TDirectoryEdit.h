#pragma once
#include "widgets/edits/TFileDirEdit.h"

namespace kd {

enum class TDirDialogKind { dkOwn, dkWin32 };

// A browse edit for a directory, or for a ";"-separated list of them.
class TDirectoryEdit : public TFileDirEdit {
    Q_OBJECT
    // The prompt as a text of the form, which the form's language replaces.
    Q_PROPERTY(QString DialogText READ dialogTextProperty WRITE setDialogTextProperty)
public:
    explicit TDirectoryEdit(UiHost& ui, QWidget* parent = nullptr) : TFileDirEdit(ui, parent) {}

    TDirDialogKind DialogKind() const { return dialogKind_; }
    void setDialogKind(TDirDialogKind kind) { dialogKind_ = kind; }
    const std::string& DialogText() const { return dialogText_; }
    void setDialogText(std::string text) { dialogText_ = std::move(text); }
    QString dialogTextProperty() const { return QString::fromStdString(dialogText_); }
    void setDialogTextProperty(const QString& text) { dialogText_ = text.toStdString(); }
    const std::string& InitialDir() const { return initialDir_; }
    void setInitialDir(std::string dir) { initialDir_ = std::move(dir); }
    bool MultipleDirs() const { return Multiple(); }
    void setMultipleDirs(bool value) { setMultiple(value); }

    std::string LongPathText() const override;
    std::string ShortPathText() const override;
    void ButtonAction() override;

protected:
    void AcceptDroppedName(const std::string& name) override;

private:
    // Puts the name before the text as a list item, or in place of the text.
    void prependName(const std::string& name);

    TDirDialogKind dialogKind_ = TDirDialogKind::dkOwn;
    std::string dialogText_;
    std::string initialDir_;
};

} // namespace kd
