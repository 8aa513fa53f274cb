#pragma once
#include <QDialog>

namespace kd {

// The directory-list dialog of the profile editor.
class TFrmSeznamAdresaru : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSeznamAdresaru(QWidget* parent = nullptr);
};

} // namespace kd
