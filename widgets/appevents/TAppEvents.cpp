#include "widgets/appevents/TAppEvents.h"

#include "widgets/appevents/TAppEventList.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace kd {

TAppEvents::TAppEvents(QObject* owner) : QObject(owner) {
    TAppEventList& list = TAppEventList::Shared();
    hookId_ =
        Application().HookMainWindow([this](QEvent& event) { return ApplicationHook(event); });
    list.Register(this);
}

TAppEvents::~TAppEvents() {
    Application().UnhookMainWindow(hookId_);
    TAppEventList::Shared().Unregister(this);
}

void TAppEvents::Loaded() {
    UpdateApplicationSettings();
}

void TAppEvents::UpdateApplicationSettings() {
    Application().SetSettings(own_);
    Application().SetMouseDragImmediate(dragImmediate_);
    Application().SetMouseDragThreshold(dragThreshold_);
}

template <class T> void TAppEvents::write(T KitApplicationSettings::*field, const T& value) {
    own_.*field = value;
    KitApplicationSettings settings = Application().Settings();
    settings.*field = value;
    Application().SetSettings(settings);
}

template <class T> T TAppEvents::read(T KitApplicationSettings::*field) const {
    return Application().Settings().*field;
}

TColor TAppEvents::HintColor() const {
    return read(&KitApplicationSettings::HintColor);
}
void TAppEvents::SetHintColor(TColor value) {
    write(&KitApplicationSettings::HintColor, value);
}
int TAppEvents::HintPause() const {
    return read(&KitApplicationSettings::HintPause);
}
void TAppEvents::SetHintPause(int value) {
    write(&KitApplicationSettings::HintPause, value);
}
bool TAppEvents::ShowHint() const {
    return read(&KitApplicationSettings::ShowHint);
}
void TAppEvents::SetShowHint(bool value) {
    write(&KitApplicationSettings::ShowHint, value);
}
int TAppEvents::HintShortPause() const {
    return read(&KitApplicationSettings::HintShortPause);
}
void TAppEvents::SetHintShortPause(int value) {
    write(&KitApplicationSettings::HintShortPause, value);
}
int TAppEvents::HintHidePause() const {
    return read(&KitApplicationSettings::HintHidePause);
}
void TAppEvents::SetHintHidePause(int value) {
    write(&KitApplicationSettings::HintHidePause, value);
}
bool TAppEvents::ShowMainForm() const {
    return read(&KitApplicationSettings::ShowMainForm);
}
void TAppEvents::SetShowMainForm(bool value) {
    write(&KitApplicationSettings::ShowMainForm, value);
}
bool TAppEvents::UpdateFormatSettings() const {
    return read(&KitApplicationSettings::UpdateFormatSettings);
}
void TAppEvents::SetUpdateFormatSettings(bool value) {
    write(&KitApplicationSettings::UpdateFormatSettings, value);
}
bool TAppEvents::UpdateMetricSettings() const {
    return read(&KitApplicationSettings::UpdateMetricSettings);
}
void TAppEvents::SetUpdateMetricSettings(bool value) {
    write(&KitApplicationSettings::UpdateMetricSettings, value);
}
bool TAppEvents::HintShortCuts() const {
    return read(&KitApplicationSettings::HintShortCuts);
}
void TAppEvents::SetHintShortCuts(bool value) {
    write(&KitApplicationSettings::HintShortCuts, value);
}
Qt::LayoutDirection TAppEvents::BiDiMode() const {
    return read(&KitApplicationSettings::BiDiMode);
}
void TAppEvents::SetBiDiMode(Qt::LayoutDirection value) {
    write(&KitApplicationSettings::BiDiMode, value);
}
QString TAppEvents::BiDiKeyboard() const {
    return read(&KitApplicationSettings::BiDiKeyboard);
}
void TAppEvents::SetBiDiKeyboard(const QString& value) {
    write(&KitApplicationSettings::BiDiKeyboard, value);
}
QString TAppEvents::NonBiDiKeyboard() const {
    return read(&KitApplicationSettings::NonBiDiKeyboard);
}
void TAppEvents::SetNonBiDiKeyboard(const QString& value) {
    write(&KitApplicationSettings::NonBiDiKeyboard, value);
}

bool TAppEvents::MouseDragImmediate() const {
    return Application().MouseDragImmediate();
}
void TAppEvents::SetMouseDragImmediate(bool value) {
    dragImmediate_ = value;
    Application().SetMouseDragImmediate(value);
}
int TAppEvents::MouseDragThreshold() const {
    return Application().MouseDragThreshold();
}
void TAppEvents::SetMouseDragThreshold(int value) {
    dragThreshold_ = value;
    Application().SetMouseDragThreshold(value);
}

bool TAppEvents::ApplicationHook(QEvent& event) {
    switch (event.type()) {
    case QEvent::Paint: {
        QWidget* window = Application().MainWindow();
        if (OnPaintIcon && window && window->isMinimized()) {
            PaintIcon();
            return true;
        }
        return false;
    }
    case QEvent::PaletteChange:
    case QEvent::ApplicationFontChange:
    case QEvent::ThemeChange:
        try {
            SettingsChanged();
        } catch (const std::exception& e) {
            Application().HandleException(this, e);
        }
        return false;
    default:
        return false;
    }
}

void TAppEvents::SettingsChanged() {
    if (OnSettingsChanged)
        OnSettingsChanged(this);
}

void TAppEvents::PaintIcon() {
    QWidget* window = Application().MainWindow();
    if (!window)
        return;
    // The canvas is released also when the handler throws.
    struct Release {
        std::unique_ptr<QPainter>& canvas;
        ~Release() { canvas.reset(); }
    } release{canvas_};
    canvas_ = std::make_unique<QPainter>(window);
    const QColor desktop = ColorToRGB(0x80000001);
    canvas_->setBrush(desktop);
    canvas_->fillRect(window->rect(), desktop);
    if (OnPaintIcon)
        OnPaintIcon(this);
}

} // namespace kd
