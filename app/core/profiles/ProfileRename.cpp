#include "app/core/profiles/ProfileRename.h"

#include "app/core/profiles/ProfileFileRules.h"
#include "app/core/profiles/ProfileName.h"
#include "app/core/profiles/ProfileTexts.h"
#include "platform/Exception.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"

#include <filesystem>

namespace kd {
namespace {

namespace fs = std::filesystem;

// True when both names lead to one file (a file system that ignores letter case).
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

} // namespace

MessageBoxText describeProfileFileProblem(const ProfileFileProblem& problem,
                                          const std::function<std::string(int)>& messageText) {
    if (problem.kind == ProfileFileProblem::Kind::Missing)
        return {messageText(profile_msg::WarningCaption),
                messageText(profile_msg::MissingBefore) + problem.fileName +
                    messageText(profile_msg::MissingAfter)};
    return {messageText(profile_msg::ErrorCaption),
            messageText(profile_msg::CannotDelete) + problem.fileName};
}

std::vector<ProfileFileProblem> saveProfileRenamed(const TObjektZal& record, const std::string& dir,
                                                   const std::string& previousName) {
    if (previousName.empty() || previousName == record.Name) {
        SaveProfile(record, dir);
        return {};
    }
    if (checkProfileName(record.Name, {}) != ProfileNameProblem::None)
        throw Exception("Invalid profile name \"" + record.Name + "\"");
    const fs::path oldFile = profileFilePath(dir, previousName);
    const fs::path newFile = profileFilePath(dir, record.Name);
    const bool oldExists = pathExists(oldFile);
    const bool onlyCaseChanged = oldExists && sameFile(oldFile, newFile);
    if (!onlyCaseChanged && pathExists(newFile))
        throw Exception("A profile named \"" + record.Name + "\" already exists");

    SaveProfile(record, dir);

    std::vector<ProfileFileProblem> problems;
    const fs::path oldStamp = withTrailingSlash(dir) + previousName + ".txt";
    const fs::path newStamp = withTrailingSlash(dir) + record.Name + ".txt";
    if (pathExists(oldStamp) && !sameFile(oldStamp, newStamp)) {
        std::error_code ec;
        fs::rename(oldStamp, newStamp, ec);
        if (ec)
            problems.push_back({ProfileFileProblem::Kind::CannotDelete, previousName + ".txt"});
    }
    if (!oldExists) {
        problems.push_back({ProfileFileProblem::Kind::Missing, previousName});
    } else if (!onlyCaseChanged) {
        std::error_code ec;
        fs::remove(oldFile, ec);
        if (ec)
            problems.push_back({ProfileFileProblem::Kind::CannotDelete, previousName + ".lus"});
    }
    return problems;
}

} // namespace kd
