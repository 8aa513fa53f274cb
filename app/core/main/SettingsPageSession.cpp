#include "app/core/main/SettingsPageSession.h"

#include "app/core/profiles/ProfileTexts.h"
#include "app/core/settings/SettingsFile.h"
#include "lang/TResourceStrings.h"

namespace kd {

bool SettingsPageSession::MenuNastaven1Click() {
    if (!state_.grantAdminAccess())
        return false;
    state_.view().ShowBusy();
    return true;
}

void SettingsPageSession::TabSheetNastavenEnter(SettingsPageValues& shown) const {
    reloadOnEnter(state_.settings, shown);
}

SettingsPageSession::OkResult SettingsPageSession::ButtonOkClick(const SettingsPageValues& page) {
    ProgramSettings next;
    try {
        next = settingsFromPage(state_.settings, page, ResourceStrings.languageCode());
    } catch (const EBadSettingsValue& bad) {
        state_.ui().messageBox(bad.what(), ResourceStrings.GetText(profile_msg::WarningCaption),
                               MsgButtons::Ok, MsgIcon::Warning);
        return {OkOutcome::BadValue, bad.field()};
    }
    std::string error;
    try {
        SettingsFile::write(state_.programDirectory() + "/" + SettingsFile::FileName, next);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty()) {
        state_.settings = next;
        // Windows and boxes take the new language at once: a box never mixes the texts
        // of one language with the buttons of another.
        LanguageCode = next.LanguageCode;
        ResourceStrings.LoadLanguage(LanguageCode, &state_.ui());
        state_.view().setTimerInterval(Scheduler::timerInterval(next));
        state_.runs().applySettings(state_.settings);
    }
    close();
    if (!error.empty()) {
        state_.reportError(error);
        return {OkOutcome::WriteFailed};
    }
    return {OkOutcome::Saved};
}

void SettingsPageSession::ButtonZrusNastClick() {
    close();
}

void SettingsPageSession::close() {
    state_.view().ShowReady();
    state_.view().showProfilePage();
}

} // namespace kd
