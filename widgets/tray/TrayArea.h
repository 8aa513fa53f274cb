#pragma once
#include <QIcon>
#include <QPoint>
#include <QString>

#include <functional>

namespace kd {

// The mouse notifications the notification area sends about its icon.
enum class TrayMouse {
    Move,
    LeftDown,
    LeftUp,
    LeftDouble,
    RightDown,
    RightUp,
    RightDouble,
    MiddleDown,
    MiddleUp,
    MiddleDouble
};

// The desktop's notification area, holding at most one icon of ours; QtTrayArea is the
// real one, tests use a fake.
class TrayArea {
public:
    virtual ~TrayArea() = default;
    // Puts the icon in; false when the desktop has no notification area.
    virtual bool Add(const QIcon& icon, const QString& tip) = 0;
    virtual void Modify(const QIcon& icon, const QString& tip) = 0;
    virtual void Remove() = 0;
    // The pointer's screen position and the keyboard's modifiers now.
    virtual QPoint CursorPos() const = 0;
    virtual Qt::KeyboardModifiers Modifiers() const = 0;

    // Set by the icon's owner: called for each mouse notification.
    std::function<void(TrayMouse)> OnNotify;
};

} // namespace kd
