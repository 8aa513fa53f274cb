#pragma once
#include "lang/qt/TFrm_KD.h"

#include <QDialog>
#include <string>

class QPushButton;

namespace kd {

class LogView;

// The viewer of a profile's log.
class Tfrm_ViewLog : public TFrm_KD<QDialog> {
    Q_OBJECT
public:
    explicit Tfrm_ViewLog(QWidget* parent = nullptr);

    // Throws kd::Exception when the log cannot be read.
    void load(const std::string& path);

    LogView* Log;
    QPushButton* btn_Ok;
};

} // namespace kd
