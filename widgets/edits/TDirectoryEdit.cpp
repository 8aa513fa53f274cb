#include "widgets/edits/TDirectoryEdit.h"

#include "widgets/edits/FileNameText.h"
#include "widgets/files/FileNameTests.h"
#include "widgets/files/TBrowseFolderDlg.h"

#include <QStringList>
#include <filesystem>

namespace kd {

namespace {

std::string convertList(const std::string& text, bool multiple,
                        std::string (*convert)(const std::string&)) {
    if (!multiple)
        return convert(text);
    QStringList results;
    for (const QString& piece : QString::fromStdString(text).split(';')) {
        const std::string converted = convert(piece.toStdString());
        if (!converted.empty())
            results << QString::fromStdString(converted);
    }
    return results.join(';').toStdString();
}

} // namespace

std::string TDirectoryEdit::LongPathText() const {
    return convertList(text().toStdString(), MultipleDirs(), LongPathOf);
}

std::string TDirectoryEdit::ShortPathText() const {
    return convertList(text().toStdString(), MultipleDirs(), ShortPathOf);
}

void TDirectoryEdit::ButtonAction() {
    TFileDirEdit::ButtonAction();
    std::string name = text().toStdString();
    bool action = true;
    NotifyBeforeDialog(name, action);
    if (!action)
        return;
    if (name.empty())
        name = initialDir_.empty() ? std::string("/") : initialDir_;
    if (!IsExistingDirectory(name))
        name = "/";
    if (dialogKind_ == TDirDialogKind::dkWin32) {
        action = BrowseForDirectory(ui(), name, dialogText_);
    } else {
        const std::optional<std::string> chosen = ui().chooseDirectory(dialogText_, name);
        action = chosen.has_value();
        if (chosen)
            name = *chosen;
    }
    if (isEnabled() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::OtherFocusReason);
    NotifyAfterDialog(name, action);
    if (!action)
        return;
    if (hasSelectedText())
        del();
    prependName(name);
    if (IsExistingDirectory(name))
        initialDir_ = name;
}

void TDirectoryEdit::AcceptDroppedName(const std::string& name) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_directory(status))
        prependName(DirectoryPart(name)); // a file stands for its directory
    else
        prependName(name);
}

void TDirectoryEdit::prependName(const std::string& name) {
    const QString rest = text();
    if (!rest.isEmpty() && MultipleDirs())
        setText(QString::fromStdString(name) + ';' + rest);
    else
        setText(QString::fromStdString(name));
}

} // namespace kd
