#pragma once
#include "app/core/main/MainState.h"
#include "app/core/profiles/ProfileEditorValues.h"

#include <memory>
#include <string>

namespace kd {

// One opening of the profile editor: a new profile or the profile of a row, the
// password confirmation, and saving or cancelling. A new profile joins the list only
// when it is saved, so cancelling leaves no empty row.
class ProfileEditSession {
public:
    enum class SaveOutcome {
        Saved,
        PasswordNotConfirmed, // the editor empties its password and stays open
        Refused,              // a box said why; the editor stays open
    };
    struct SaveResult {
        SaveOutcome outcome;
        int row = -1; // the saved profile's row
    };

    explicit ProfileEditSession(MainState& state) : state_(state) {}

    // The editor for a new profile: every field at its default, nothing kept from the
    // profile shown before.
    ProfileEditorValues NewProfileDefaults();
    // The editor for the profile of the row.
    ProfileEditorValues LoadProfileEditor(int row);

    // Enter in the password edit: asks for the password again. True when it matched;
    // false when it did not or the password holds characters other than printable
    // ASCII (either said in a box): the editor then empties the password edit.
    bool ConfirmPassword(const std::string& typed);

    // OK: checks the name and that there is a file mask, asks for the password confirmation when
    // the password was changed without one, writes the profile's file (a rename writes the new file
    // first) and refreshes its row.
    SaveResult SaveProfileEditor(const ProfileEditorValues& values);
    void Cancel();

    bool active() const { return newRecord_ || edited_; }

    bool PasswordConfirmed = false;
    std::string EditedProfileName;

private:
    void start(const std::string& plainPassword);
    bool confirmed(const std::string& typed) const {
        return PasswordConfirmed && typed == confirmedPassword_;
    }

    MainState& state_;
    std::unique_ptr<TObjektZal> newRecord_;
    const TObjektZal* edited_ = nullptr;
    std::string originalPassword_;
    std::string confirmedPassword_;
};

} // namespace kd
