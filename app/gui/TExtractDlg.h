#pragma once
#include <QDialog>

namespace kd {

// The extraction options dialog.
class TExtractDlg : public QDialog {
    Q_OBJECT
public:
    explicit TExtractDlg(QWidget* parent = nullptr);
};

} // namespace kd
