#pragma once
#include <QDialog>

namespace kd {

// The error dialog.
class Tfrm_ErrorDialog : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_ErrorDialog(QWidget* parent = nullptr);
};

} // namespace kd
