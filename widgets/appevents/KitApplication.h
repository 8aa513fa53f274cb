#pragma once
#include "widgets/appevents/AppEventTypes.h"
#include "widgets/draw/KitColor.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>

namespace kd {

// The screen's event slots: one handler per event. The sender is the screen object.
class KitScreen : public QObject {
    Q_OBJECT
public:
    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;
};

// The application's settings a form can set through its event component.
struct KitApplicationSettings {
    TColor HintColor = 0x80000018; // the system's tooltip background
    int HintPause = 500;
    bool ShowHint = true;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    bool ShowMainForm = true;
    bool UpdateFormatSettings = true;
    bool UpdateMetricSettings = true;
    bool HintShortCuts = true;
    Qt::LayoutDirection BiDiMode = Qt::LeftToRight;
    QString BiDiKeyboard;
    QString NonBiDiKeyboard;
};

// The application object: one handler per event, which the Qt events of the
// application, of its windows and of its main window raise (AppEventSource, once
// StartWatching or SetMainWindow ran), its hint and hint settings, the mouse settings,
// and hooks called for every event of the main window. The one instance lives as long
// as the process (Application()).
class KitApplication : public QObject {
    Q_OBJECT
public:
    using WindowHook = std::function<bool(QEvent& event)>;

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    THelpEvent OnHelp;
    TNotifyEvent OnHint;
    TMessageEvent OnMessage;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TShowHintEvent OnShowHint;
    TActionEvent OnActionExecute;
    TActionEvent OnActionUpdate;
    TShortCutEvent OnShortCut;

    KitScreen& Screen() { return screen_; }

    // From now on Qt's events raise the handlers; once the Qt application exists.
    void StartWatching();
    // The status tip of the control under the pointer, or of the menu item; each
    // change raises OnHint.
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint);

    const KitApplicationSettings& Settings() const { return settings_; }
    // Stores the settings; the hint colour also becomes the tooltips' background.
    void SetSettings(const KitApplicationSettings& settings);
    bool MouseDragImmediate() const { return dragImmediate_; }
    void SetMouseDragImmediate(bool value) { dragImmediate_ = value; }
    // The distance a press must move to start a drag: the Qt application's own.
    int MouseDragThreshold() const;
    void SetMouseDragThreshold(int pixels);

    // The window whose events reach the hooks and raise minimise, restore and the
    // settings' change; none before the main window exists.
    void SetMainWindow(QWidget* window);
    QWidget* MainWindow() const { return mainWindow_; }
    // A hook returns whether it handled the event; a handled event goes no further.
    int HookMainWindow(WindowHook hook);
    void UnhookMainWindow(int id);

    // An exception that reached the message loop: OnException, else ShowException.
    void HandleException(QObject* sender, const std::exception& e);
    // The standard display of an exception: the handler set here, else a warning.
    void ShowException(const std::exception& e);
    std::function<void(const std::exception&)> ExceptionDisplay;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KitScreen screen_;
    QPointer<QObject> source_; // the AppEventSource, a child of the Qt application
    QString hint_;
    KitApplicationSettings settings_;
    bool dragImmediate_ = true;
    QPointer<QWidget> mainWindow_;
    std::map<int, WindowHook> hooks_;
    int nextHook_ = 1;
    bool filterOnApp_ = false;
};

KitApplication& Application();

} // namespace kd
