#include "app/gui/TFrmSeznamAdresaru.h"

namespace kd {

TFrmSeznamAdresaru::TFrmSeznamAdresaru(QWidget* parent) : TFrm_KD(parent) {
    setObjectName("FrmSeznamAdresaru");
}

} // namespace kd
