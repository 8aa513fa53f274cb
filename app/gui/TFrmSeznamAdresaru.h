#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>

namespace kd {

// The directory-list dialog of the profile editor.
class TFrmSeznamAdresaru : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit TFrmSeznamAdresaru(QWidget* parent = nullptr);
};

} // namespace kd
