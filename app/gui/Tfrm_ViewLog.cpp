#include "app/gui/Tfrm_ViewLog.h"

namespace kd {

Tfrm_ViewLog::Tfrm_ViewLog(QWidget* parent) : QDialog(parent) {
    setObjectName("frm_ViewLog");
}

} // namespace kd
