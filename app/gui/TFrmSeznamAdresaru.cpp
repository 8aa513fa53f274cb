#include "app/gui/TFrmSeznamAdresaru.h"

#include "app/gui/PageControls.h"
#include "widgets/edits/TDirectoryEdit.h"

namespace kd {

TFrmSeznamAdresaru::TFrmSeznamAdresaru(UiHost& ui, QWidget* parent)
    : TListDialog("FrmSeznamAdresaru", "Seznam adresářů", parent),
      edit_(browseDirectoryEdit(ui, this, "FilenameEdit1", "")) {
    // The folder dialog starts in the typed directory, or in the initial one while
    // the input is empty.
    edit_->OnButtonClick = nullptr;
    setInput(edit_);
}

void TFrmSeznamAdresaru::setInitialDirectory(std::string directory) {
    edit_->setInitialDir(std::move(directory));
}

} // namespace kd
