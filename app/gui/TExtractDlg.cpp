#include "app/gui/TExtractDlg.h"

namespace kd {

TExtractDlg::TExtractDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("ExtractDlg");
}

} // namespace kd
