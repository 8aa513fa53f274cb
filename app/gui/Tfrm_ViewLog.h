#pragma once
#include <QDialog>

namespace kd {

// The viewer of a profile's log.
class Tfrm_ViewLog : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_ViewLog(QWidget* parent = nullptr);
};

} // namespace kd
