#include "app/gui/TFrmSeznamAdresaru.h"

namespace kd {

TFrmSeznamAdresaru::TFrmSeznamAdresaru(UiHost& ui, QWidget* parent)
    : TListDialog(ui, "FrmSeznamAdresaru", "Seznam adresářů", parent) {}

} // namespace kd
