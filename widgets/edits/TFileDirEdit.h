#pragma once
#include "platform/Exception.h"
#include "platform/UiHost.h"
#include "widgets/edits/TCustomComboEdit.h"

#include <string>
#include <vector>

namespace kd {

class EComboEditError : public Exception {
public:
    using Exception::Exception;
};

// A browse edit that asks the UI host for a name: events before and after the
// dialog, file drops, and the folder glyph on its button.
class TFileDirEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    // Sender, the name (may be changed), whether to go on (may be changed).
    using TExecOpenDialogEvent =
        std::function<void(TFileDirEdit&, std::string& name, bool& action)>;

    TFileDirEdit(UiHost& ui, QWidget* parent = nullptr);

    bool AcceptFiles() const { return acceptFiles_; }
    void setAcceptFiles(bool value);

    virtual std::string LongPathText() const = 0;
    virtual std::string ShortPathText() const = 0;

    // Takes dropped names in as a drop on the edit does: the first one only, unless
    // several are allowed; then OnDropFiles.
    void DropFiles(const std::vector<std::string>& names);

    std::function<void(TFileDirEdit&)> OnDropFiles;
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;

protected:
    QImage DefaultGlyph() const override;
    virtual void AcceptDroppedName(const std::string& name) = 0;
    virtual void ClearDroppedNames() {}
    void NotifyBeforeDialog(std::string& name, bool& action);
    void NotifyAfterDialog(std::string& name, bool& action);
    // Several names allowed (dialog selection, directory list).
    bool Multiple() const { return multiple_; }
    void setMultiple(bool value) { multiple_ = value; }
    UiHost& ui() const { return ui_; }

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    UiHost& ui_;
    bool acceptFiles_ = false;
    bool multiple_ = false;
};

} // namespace kd
