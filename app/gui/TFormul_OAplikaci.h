#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>

namespace kd {

// The about box.
class TFormul_OAplikaci : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit TFormul_OAplikaci(QWidget* parent = nullptr);
};

} // namespace kd
