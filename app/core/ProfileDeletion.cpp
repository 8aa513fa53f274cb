#include "app/core/ProfileDeletion.h"

#include "app/core/ProfileFileRules.h"
#include "lang/TResourceStrings.h"

#include <filesystem>

namespace kd {
namespace {

namespace fs = std::filesystem;

constexpr int kWarningCaption = 10009;
constexpr int kQuestionCaption = 10017;
constexpr int kErrorCaption = 20000;
constexpr int kCannotDelete = 11003;
constexpr int kMissingBefore = 11004;
constexpr int kMissingAfter = 11005;
constexpr int kDeleteQuestion = 11021;

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

void deleteReporting(UiHost& ui, const std::string& directory, const std::string& fileName) {
    std::error_code ec;
    if (!fs::remove(withTrailingSlash(directory) + fileName, ec) || ec)
        ui.messageBox(ResourceStrings.GetText(kCannotDelete) + fileName,
                      ResourceStrings.GetText(kErrorCaption), MsgButtons::Ok, MsgIcon::Error);
}

} // namespace

bool DeleteProfile(MainState& state, int row) {
    UiHost& ui = state.ui();
    const std::string name = state.profiles.record(row).Name;
    const std::string directory = state.programDirectory();
    const std::string stamp = name + ".txt";
    const bool stampExists = exists(withTrailingSlash(directory) + stamp);
    if (!exists(profileFilePath(directory, name))) {
        if (stampExists)
            deleteReporting(ui, directory, stamp);
        ui.messageBox(ResourceStrings.GetText(kMissingBefore) + name +
                          ResourceStrings.GetText(kMissingAfter),
                      ResourceStrings.GetText(kWarningCaption), MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    const MsgAnswer answer = ui.messageBox(ResourceStrings.GetText(kDeleteQuestion) + name + "\"",
                                           ResourceStrings.GetText(kQuestionCaption),
                                           MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgAnswer::Yes)
        return false;
    if (stampExists)
        deleteReporting(ui, directory, stamp);
    deleteReporting(ui, directory, name + ".lus");
    state.profiles.remove(row);
    return true;
}

} // namespace kd
