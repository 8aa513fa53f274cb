#include "app/core/main/ProfileDeletion.h"

#include "app/core/main/MainMessages.h"
#include "app/core/profiles/ProfileFileRules.h"
#include "app/core/profiles/ProfileTexts.h"
#include "lang/TResourceStrings.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

#include <filesystem>

namespace kd {
namespace {

namespace fs = std::filesystem;

void deleteReporting(UiHost& ui, const std::string& directory, const std::string& fileName) {
    std::error_code ec;
    if (!fs::remove(withTrailingSlash(directory) + fileName, ec) || ec)
        ui.messageBox(ResourceStrings.GetText(profile_msg::CannotDelete) + fileName,
                      ResourceStrings.GetText(profile_msg::ErrorCaption), MsgButtons::Ok,
                      MsgIcon::Error);
}

} // namespace

bool DeleteProfile(MainState& state, int row) {
    UiHost& ui = state.ui();
    const std::string name = state.profiles.record(row).Name;
    const std::string directory = state.programDirectory();
    const std::string stamp = name + ".txt";
    const bool stampExists = pathExists(withTrailingSlash(directory) + stamp);
    if (!pathExists(profileFilePath(directory, name))) {
        if (stampExists)
            deleteReporting(ui, directory, stamp);
        ui.messageBox(ResourceStrings.GetText(profile_msg::MissingBefore) + name +
                          ResourceStrings.GetText(profile_msg::MissingAfter),
                      ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok,
                      MsgIcon::Warning);
        return false;
    }
    const MsgAnswer answer = ui.messageBox(
        ResourceStrings.GetText(main_msg::DeleteQuestion) + name + "\"",
        ResourceStrings.GetText(main_msg::QuestionCaption), MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgAnswer::Yes)
        return false;
    if (stampExists)
        deleteReporting(ui, directory, stamp);
    deleteReporting(ui, directory, name + ".lus");
    state.profiles.remove(row);
    return true;
}

} // namespace kd
