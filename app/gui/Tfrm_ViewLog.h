#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>

namespace kd {

// The viewer of a profile's log.
class Tfrm_ViewLog : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit Tfrm_ViewLog(QWidget* parent = nullptr);
};

} // namespace kd
