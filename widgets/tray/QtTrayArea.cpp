#include "widgets/tray/QtTrayArea.h"

#include <QApplication>
#include <QCursor>
#include <QSystemTrayIcon>

namespace kd {

QtTrayArea::QtTrayArea() : icon_(std::make_unique<QSystemTrayIcon>()) {
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                    notify({TrayMouse::LeftDown, TrayMouse::LeftUp});
                    break;
                case QSystemTrayIcon::DoubleClick:
                    notify({TrayMouse::LeftDouble, TrayMouse::LeftUp});
                    break;
                case QSystemTrayIcon::Context:
                    notify({TrayMouse::RightDown, TrayMouse::RightUp});
                    break;
                case QSystemTrayIcon::MiddleClick:
                    notify({TrayMouse::MiddleDown, TrayMouse::MiddleUp});
                    break;
                case QSystemTrayIcon::Unknown:
                    break;
                }
            });
}

QtTrayArea::~QtTrayArea() = default;

bool QtTrayArea::Add(const QIcon& icon, const QString& tip) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    Modify(icon, tip);
    icon_->show();
    return icon_->isVisible();
}

void QtTrayArea::Modify(const QIcon& icon, const QString& tip) {
    icon_->setIcon(icon);
    icon_->setToolTip(tip);
}

void QtTrayArea::Remove() {
    icon_->hide();
}

QPoint QtTrayArea::CursorPos() const {
    return QCursor::pos();
}

Qt::KeyboardModifiers QtTrayArea::Modifiers() const {
    return QApplication::queryKeyboardModifiers();
}

void QtTrayArea::notify(std::initializer_list<TrayMouse> messages) {
    for (TrayMouse message : messages)
        if (OnNotify)
            OnNotify(message);
}

} // namespace kd
