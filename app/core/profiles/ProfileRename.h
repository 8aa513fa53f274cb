#pragma once
#include "app/core/profiles/ObjektZal.h"

#include <functional>
#include <string>
#include <vector>

namespace kd {

// A profile file that could not be cleaned up. The save itself went through; the
// caller shows each problem in a box (see describeProfileFileProblem).
struct ProfileFileProblem {
    enum class Kind {
        CannotDelete, // fileName could not be deleted
        Missing,      // the profile's old file was not there (fileName: the profile name)
    };
    Kind kind;
    std::string fileName;

    bool operator==(const ProfileFileProblem&) const = default;
};

struct MessageBoxText {
    std::string caption;
    std::string text;
};

// Builds a problem's box from the message table (messageText gives a text by its id).
MessageBoxText describeProfileFileProblem(const ProfileFileProblem& problem,
                                          const std::function<std::string(int)>& messageText);

// Saves the record in <dir>/<record.Name>.lus. When previousName is not empty and
// differs from record.Name, the profile is renamed: the new file is written first,
// then the last-run stamp <previousName>.txt is moved to the new name (so the
// schedule goes on) and <previousName>.lus is removed; the per-profile log stays.
// Throws kd::Exception, touching nothing, when the new name is not a valid profile
// name, when another profile's file already has it, or when writing fails.
std::vector<ProfileFileProblem> saveProfileRenamed(const TObjektZal& record, const std::string& dir,
                                                   const std::string& previousName);

} // namespace kd
