#include "app/gui/Tfrm_ViewLog.h"

namespace kd {

Tfrm_ViewLog::Tfrm_ViewLog(QWidget* parent) : TFrm_KD(parent) {
    setObjectName("frm_ViewLog");
}

} // namespace kd
