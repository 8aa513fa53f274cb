#include "app/gui/Tfrm_ErrorDialog.h"

namespace kd {

Tfrm_ErrorDialog::Tfrm_ErrorDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frm_ErrorDialog");
}

} // namespace kd
