#include "app/core/main/ProfileEditSession.h"

#include "app/core/main/MainMessages.h"
#include "app/core/profiles/ProfileName.h"
#include "app/core/profiles/ProfilePassword.h"
#include "app/core/profiles/ProfileRename.h"
#include "app/core/profiles/ProfileTexts.h"
#include "lang/TResourceStrings.h"

namespace kd {
namespace {

// Why the editor's values cannot be saved; empty when they can.
std::string refusalOf(const ProfileEditorValues& values,
                      const std::vector<std::string>& otherNames) {
    const ProfileNameProblem problem = checkProfileName(values.name, otherNames);
    if (problem != ProfileNameProblem::None)
        return profileNameProblemText(problem, values.name, LanguageCode);
    if (!hasFileMask(values.masks))
        return localText(LanguageCode, ProfileText::NoFileMask);
    return {};
}

} // namespace

void ProfileEditSession::start(const std::string& plainPassword) {
    PasswordConfirmed = false;
    originalPassword_ = plainPassword;
    confirmedPassword_.clear();
}

ProfileEditorValues ProfileEditSession::NewProfileDefaults() {
    edited_ = nullptr;
    newRecord_ = std::make_unique<TObjektZal>();
    EditedProfileName.clear();
    start({});
    const ProgramSettings& s = state_.settings;
    // A new profile takes nothing from the one the editor showed before: excluded
    // folders kept from it would silently leave them out of the new backup.
    return newProfileEditorValues(ProfileEditorValues{}, s.InitDestDir, s.InitRootDir,
                                  state_.clock().nowLocal());
}

ProfileEditorValues ProfileEditSession::LoadProfileEditor(int row) {
    newRecord_.reset();
    edited_ = &state_.profiles.record(row);
    EditedProfileName = edited_->Name;
    ProfileEditorValues values = editorValuesFromProfile(*edited_);
    start(values.password);
    return values;
}

bool ProfileEditSession::ConfirmPassword(const std::string& typed) {
    PasswordConfirmed = false;
    if (!isValidPasswordText(typed)) {
        state_.ui().messageBox(passwordRuleText(LanguageCode),
                               ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok,
                               MsgIcon::Warning);
        return false;
    }
    // A cancelled question counts as an empty answer.
    const auto answer =
        state_.ui().inputBox(localText(LanguageCode, ProfileText::ConfirmCaption),
                             localText(LanguageCode, ProfileText::ConfirmPrompt), "", true);
    PasswordConfirmed = answer.value_or(std::string()) == typed;
    confirmedPassword_ = typed;
    if (!PasswordConfirmed)
        state_.ui().messageBox(ResourceStrings.GetText(main_msg::PasswordNotConfirmed),
                               ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok,
                               MsgIcon::Warning);
    return PasswordConfirmed;
}

ProfileEditSession::SaveResult
ProfileEditSession::SaveProfileEditor(const ProfileEditorValues& values) {
    ProfileList& list = state_.profiles;
    const int editedRow = edited_ ? list.rowOf(edited_) : -1;
    TObjektZal* record = newRecord_       ? newRecord_.get()
                         : editedRow >= 0 ? &list.record(editedRow)
                                          : nullptr;
    if (!record)
        return {SaveOutcome::Refused};

    if (const std::string refusal = refusalOf(values, list.namesExcept(editedRow));
        !refusal.empty()) {
        state_.ui().messageBox(refusal, ResourceStrings.GetText(profile_msg::WarningCaption),
                               MsgButtons::Ok, MsgIcon::Warning);
        return {SaveOutcome::Refused};
    }
    // A password typed without confirming it is neither dropped nor taken unasked.
    if (values.password != originalPassword_ && !confirmed(values.password) &&
        !ConfirmPassword(values.password))
        return {SaveOutcome::PasswordNotConfirmed};

    TObjektZal updated = *record;
    std::vector<ProfileFileProblem> problems;
    try {
        applyEditorValues(values, confirmed(values.password), updated);
        problems = saveProfileRenamed(updated, state_.programDirectory(), EditedProfileName);
    } catch (const std::exception& e) {
        state_.reportError(e.what());
        return {SaveOutcome::Refused};
    }
    for (const ProfileFileProblem& p : problems) {
        const MessageBoxText box =
            describeProfileFileProblem(p, [](int id) { return ResourceStrings.GetText(id); });
        state_.ui().messageBox(box.text, box.caption, MsgButtons::Ok, MsgIcon::Warning);
    }

    *record = updated;
    int row = newRecord_ ? list.add(std::move(newRecord_)) : editedRow;
    edited_ = nullptr;
    try {
        row = list.LoadProfileItem(
            row, state_.programDirectory(), updated.Name,
            [this](const std::string& name) { return state_.lastRunOf(name); });
    } catch (const std::exception& e) {
        state_.reportError(e.what());
    }
    return {SaveOutcome::Saved, row};
}

void ProfileEditSession::Cancel() {
    newRecord_.reset();
    edited_ = nullptr;
}

} // namespace kd
