#pragma once
#include <QDialog>

namespace kd {

// The about box.
class TFormul_OAplikaci : public QDialog {
    Q_OBJECT
public:
    explicit TFormul_OAplikaci(QWidget* parent = nullptr);
};

} // namespace kd
