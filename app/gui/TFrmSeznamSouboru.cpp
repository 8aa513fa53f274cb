#include "app/gui/TFrmSeznamSouboru.h"

#include "widgets/edits/TFilenameEdit.h"

namespace kd {

std::string fileNamePart(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

TFrmSeznamSouboru::TFrmSeznamSouboru(UiHost& ui, QWidget* parent)
    : TListDialog("FrmSeznamSouboru", "Seznam souborů ", parent),
      edit_(new TFilenameEdit(ui, this)) {
    edit_->setFilter(Filter);
    edit_->setDialogTitle(DialogTitle);
    setInput(edit_);
}

void TFrmSeznamSouboru::setInitialDirectory(std::string directory) {
    edit_->setInitialDir(std::move(directory));
}

std::string TFrmSeznamSouboru::lineFromInput(const std::string& input) const {
    return fileNamePart(input);
}

} // namespace kd
