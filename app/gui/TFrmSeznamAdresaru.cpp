#include "app/gui/TFrmSeznamAdresaru.h"

namespace kd {

TFrmSeznamAdresaru::TFrmSeznamAdresaru(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmSeznamAdresaru");
}

} // namespace kd
