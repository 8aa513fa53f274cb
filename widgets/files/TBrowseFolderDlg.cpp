#include "widgets/files/TBrowseFolderDlg.h"

#include "widgets/files/FileNameTests.h"

namespace kd {

bool TBrowseFolderDlg::RunDialog() {
    const bool computers = browseKind_ == TBrowseKind::bfComputers;
    // The chooser preselects the folder only when there is one to select; otherwise
    // it opens at its root.
    const std::string start =
        computers || IsExistingDirectory(folderName_) ? folderName_ : std::string();
    if (OnInitialized)
        OnInitialized(*this);
    const std::optional<std::string> chosen = ui_.chooseDirectory(dialogText_, start);
    if (!chosen)
        return false;
    // The chooser's OK stands only for an existing directory; a computer is a name.
    selectedName_ = computers || IsExistingDirectory(*chosen) ? *chosen : std::string();
    if (OnSelChanged)
        OnSelChanged(*this);
    if (selectedName_.empty())
        return false;
    folderName_ = computers ? selectedName_ : StripTrailingBackslash(selectedName_);
    return true;
}

bool BrowseForDirectory(UiHost& ui, std::string& folder, const std::string& dialogText,
                        int helpContext) {
    TBrowseFolderDlg dialog(ui);
    dialog.setDialogText(dialogText);
    dialog.setFolderName(folder);
    dialog.setHelpContext(helpContext);
    if (!dialog.RunDialog())
        return false;
    folder = dialog.FolderName();
    return true;
}

} // namespace kd
