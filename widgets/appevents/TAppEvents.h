#pragma once
#include "widgets/appevents/AppEventTypes.h"
#include "widgets/appevents/KitApplication.h"
#include "widgets/draw/KitColor.h"

#include <QObject>
#include <memory>

class QPainter;

namespace kd {

// A non-visual component that receives the application's and the screen's events
// through its own handlers, however many other parts of the program want them too (see
// TAppEventList), and sets the application's hint and mouse settings. OnSettingsChanged
// and OnPaintIcon come through a hook of its own on the main window, so they reach every
// instance with the instance as sender, whatever Chained says.
class TAppEvents : public QObject {
    Q_OBJECT
public:
    explicit TAppEvents(QObject* owner = nullptr);
    ~TAppEvents() override;
    TAppEvents(const TAppEvents&) = delete;
    TAppEvents& operator=(const TAppEvents&) = delete;

    // After the form has set the properties: writes every setting into the application.
    void Loaded();
    void UpdateApplicationSettings();

    bool Chained() const { return chained_; }
    void SetChained(bool value) { chained_ = value; }

    // Each setter stores the value and writes it into the application at once; each
    // getter reads the application's current value.
    TColor HintColor() const;
    void SetHintColor(TColor value);
    int HintPause() const;
    void SetHintPause(int value);
    bool ShowHint() const;
    void SetShowHint(bool value);
    int HintShortPause() const;
    void SetHintShortPause(int value);
    int HintHidePause() const;
    void SetHintHidePause(int value);
    bool ShowMainForm() const;
    void SetShowMainForm(bool value);
    bool UpdateFormatSettings() const;
    void SetUpdateFormatSettings(bool value);
    bool UpdateMetricSettings() const;
    void SetUpdateMetricSettings(bool value);
    bool HintShortCuts() const;
    void SetHintShortCuts(bool value);
    Qt::LayoutDirection BiDiMode() const;
    void SetBiDiMode(Qt::LayoutDirection value);
    QString BiDiKeyboard() const;
    void SetBiDiKeyboard(const QString& value);
    QString NonBiDiKeyboard() const;
    void SetNonBiDiKeyboard(const QString& value);
    bool MouseDragImmediate() const;
    void SetMouseDragImmediate(bool value);
    int MouseDragThreshold() const;
    void SetMouseDragThreshold(int value);

    // Bound to the main window while OnPaintIcon draws the minimised window; null
    // otherwise.
    QPainter* Canvas() const { return canvas_.get(); }

    TActionEvent OnActionExecute;
    TActionEvent OnActionUpdate;
    TShortCutEvent OnShortCut;
    TNotifyEvent OnPaintIcon;
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
    TNotifyEvent OnSettingsChanged;
    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

protected:
    virtual void PaintIcon();
    // Called for every event of the application's main window; returns whether it
    // handled the event.
    virtual bool ApplicationHook(QEvent& event);
    virtual void SettingsChanged();

private:
    template <class T> void write(T KitApplicationSettings::*field, const T& value);
    template <class T> T read(T KitApplicationSettings::*field) const;

    KitApplicationSettings own_;
    bool dragImmediate_ = true;
    int dragThreshold_ = 5;
    bool chained_ = true;
    int hookId_ = 0;
    std::unique_ptr<QPainter> canvas_;
};

} // namespace kd
