#pragma once
#include <QObject>

namespace kd {

// Widens every dialog of the application as it shows, before it centres itself, so that
// the window manager's title bar shows its whole title: message and input boxes
// included, whose size Qt works out from their contents alone. Installed on the
// application; removes itself when destroyed.
class TitleFit : public QObject {
public:
    TitleFit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kd
