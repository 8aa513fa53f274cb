#pragma once
#include <QPoint>
#include <QString>

#include <exception>
#include <functional>

class QAction;
class QEvent;
class QKeyEvent;
class QObject;
class QWidget;

namespace kd {

// What a hint about to be shown is about: the control under the pointer and where.
struct THintInfo {
    QWidget* HintControl = nullptr;
    QPoint CursorPos;
};

// Handlers of the application's and the screen's events. The sender is the object that
// raised the event; by-reference arguments let a handler answer.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TActionEvent = std::function<void(QAction* action, bool& handled)>;
using TShortCutEvent = std::function<void(QKeyEvent& msg, bool& handled)>;
using TExceptionEvent = std::function<void(QObject* sender, const std::exception& e)>;
using TIdleEvent = std::function<void(QObject* sender, bool& done)>;
using THelpEvent = std::function<bool(quint16 command, int data, bool& callHelp)>;
using TMessageEvent = std::function<void(QEvent& msg, bool& handled)>;
using TShowHintEvent = std::function<void(QString& hintStr, bool& canShow, THintInfo& hintInfo)>;

} // namespace kd
