#pragma once
#include "platform/UiHost.h"

#include <functional>
#include <string>

namespace kd {

enum class TBrowseKind { bfFolders, bfComputers };
enum class TDialogPosition { dpDefault, dpScreenCenter };

// Asks the user for a folder through the UI host's directory chooser. The chooser
// is modal: OnInitialized is raised as it opens, OnSelChanged once for the answer.
class TBrowseFolderDlg {
public:
    using TNotifyEvent = std::function<void(TBrowseFolderDlg&)>;

    explicit TBrowseFolderDlg(UiHost& ui) : ui_(ui) {}

    // True when a folder was chosen; FolderName then holds it without a final "/".
    bool RunDialog();

    TBrowseKind BrowseKind() const { return browseKind_; }
    void setBrowseKind(TBrowseKind kind) { browseKind_ = kind; }
    bool DesktopRoot() const { return desktopRoot_; }
    void setDesktopRoot(bool value) { desktopRoot_ = value; }
    const std::string& DialogText() const { return dialogText_; }
    void setDialogText(std::string text) { dialogText_ = std::move(text); }
    const std::string& FolderName() const { return folderName_; }
    void setFolderName(std::string name) { folderName_ = std::move(name); }
    int HelpContext() const { return helpContext_; }
    void setHelpContext(int context) { helpContext_ = context; }
    TDialogPosition Position() const { return position_; }
    void setPosition(TDialogPosition position) { position_ = position; }
    // The name selected last while the dialog ran.
    const std::string& SelectedName() const { return selectedName_; }

    TNotifyEvent OnInitialized;
    TNotifyEvent OnSelChanged;

private:
    UiHost& ui_;
    TBrowseKind browseKind_ = TBrowseKind::bfFolders;
    bool desktopRoot_ = true;
    std::string dialogText_;
    std::string folderName_;
    std::string selectedName_;
    int helpContext_ = 0;
    TDialogPosition position_ = TDialogPosition::dpScreenCenter;
};

// Lets the user pick a directory, starting at folder; on success folder becomes the
// choice. Returns whether one was chosen.
bool BrowseForDirectory(UiHost& ui, std::string& folder, const std::string& dialogText,
                        int helpContext = 0);

} // namespace kd
