#include "app/gui/TFrmSeznamSouboru.h"

namespace kd {

TFrmSeznamSouboru::TFrmSeznamSouboru(QWidget* parent) : TFrm_KD(parent) {
    setObjectName("FrmSeznamSouboru");
}

} // namespace kd
