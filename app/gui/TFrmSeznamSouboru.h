#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>

namespace kd {

// The file-mask list dialog of the profile editor.
class TFrmSeznamSouboru : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit TFrmSeznamSouboru(QWidget* parent = nullptr);
};

} // namespace kd
