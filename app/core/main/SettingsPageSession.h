#pragma once
#include "app/core/main/MainState.h"
#include "app/core/settings/SettingsPageValues.h"

namespace kd {

// The settings page's work, free of widgets: opening it under the settings password,
// what entering it loads, OK and Cancel. While the page shows, the main window is
// busy, so that no scheduled run starts.
class SettingsPageSession {
public:
    enum class OkOutcome {
        Saved,       // written, in effect, the page has closed
        BadValue,    // a box said which value; nothing written, the page stays open
        WriteFailed, // a box reported the error; nothing changed, the page has closed
    };
    struct OkResult {
        OkOutcome outcome;
        EBadSettingsValue::Field field = EBadSettingsValue::Field::Interval; // of BadValue
    };

    explicit SettingsPageSession(MainState& state) : state_(state) {}

    // The menu item: true when the page may show (the settings password granted or
    // entered before); the window is then busy.
    bool MenuNastaven1Click();
    // Entering the page: reloads the controls reloadOnEnter names.
    void TabSheetNastavenEnter(SettingsPageValues& shown) const;
    // OK: checks every value, then replaces "Nastaven.txt" with the fifteen lines
    // (atomically) and puts the settings into effect, the timer's interval included.
    // The message table keeps its language until the next start; forms shown from now
    // on use the new one. Unless a value is bad, the window is ready again and shows
    // the profile list, however writing ends.
    OkResult ButtonOkClick(const SettingsPageValues& page);
    // Cancel: nothing written or changed; ready again, the profile list shows.
    void ButtonZrusNastClick();

private:
    void close();

    MainState& state_;
};

} // namespace kd
