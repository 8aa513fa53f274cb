#pragma once
#include "widgets/tray/TrayArea.h"

#include <QObject>
#include <memory>

class QSystemTrayIcon;

namespace kd {

// The notification area through QSystemTrayIcon. Qt reports whole clicks, so each one
// is passed on as the press and the release it stands for.
class QtTrayArea : public QObject, public TrayArea {
    Q_OBJECT
public:
    QtTrayArea();
    ~QtTrayArea() override;

    bool Add(const QIcon& icon, const QString& tip) override;
    void Modify(const QIcon& icon, const QString& tip) override;
    void Remove() override;
    QPoint CursorPos() const override;
    Qt::KeyboardModifiers Modifiers() const override;

private:
    void notify(std::initializer_list<TrayMouse> messages);

    std::unique_ptr<QSystemTrayIcon> icon_;
};

} // namespace kd
