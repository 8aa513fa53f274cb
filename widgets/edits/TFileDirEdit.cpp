#include "widgets/edits/TFileDirEdit.h"

#include "widgets/edits/EditGlyphs.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kd {

namespace {

std::vector<std::string> localFiles(const QMimeData* data) {
    std::vector<std::string> names;
    if (!data || !data->hasUrls())
        return names;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            names.push_back(url.toLocalFile().toStdString());
    return names;
}

} // namespace

TFileDirEdit::TFileDirEdit(UiHost& ui, QWidget* parent) : TCustomComboEdit(parent), ui_(ui) {
    setGlyphKind(TGlyphKind::gkDefault);
}

QImage TFileDirEdit::DefaultGlyph() const {
    return FolderGlyph();
}

void TFileDirEdit::setAcceptFiles(bool value) {
    acceptFiles_ = value;
    setAcceptDrops(true); // plain text drops stay with the edit either way
}

void TFileDirEdit::NotifyBeforeDialog(std::string& name, bool& action) {
    if (OnBeforeDialog)
        OnBeforeDialog(*this, name, action);
}

void TFileDirEdit::NotifyAfterDialog(std::string& name, bool& action) {
    if (OnAfterDialog)
        OnAfterDialog(*this, name, action);
}

void TFileDirEdit::DropFiles(const std::vector<std::string>& names) {
    if (!names.empty()) {
        ClearDroppedNames();
        for (const std::string& name : names) {
            AcceptDroppedName(name);
            if (!multiple_)
                break;
        }
    }
    if (OnDropFiles)
        OnDropFiles(*this);
}

void TFileDirEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptFiles_ && !localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
        return;
    }
    TCustomComboEdit::dragEnterEvent(event);
}

void TFileDirEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptFiles_ && !localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
        return;
    }
    TCustomComboEdit::dragMoveEvent(event);
}

void TFileDirEdit::dropEvent(QDropEvent* event) {
    const std::vector<std::string> names = localFiles(event->mimeData());
    if (!acceptFiles_ || names.empty()) {
        TCustomComboEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    DropFiles(names);
}

} // namespace kd
