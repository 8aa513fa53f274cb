#include "app/gui/TFormul_OAplikaci.h"

namespace kd {

TFormul_OAplikaci::TFormul_OAplikaci(QWidget* parent) : TFrm_KD(parent) {
    setObjectName("Formul_OAplikaci");
}

} // namespace kd
