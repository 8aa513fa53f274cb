#pragma once
#include "platform/VolumeService.h"

#include <string>
#include <string_view>

namespace kd {

enum class WipeResult {
    Wiped,        // every file of the medium was deleted (single failures ignored)
    NotRemovable, // the target is not on a removable medium: nothing deleted
    Refused,      // the medium holds the system root, the program or the source
};

// What a wipe must never touch.
struct WipeGuards {
    std::string programDirectory;
    std::string sourceDirectory;
};

// The removable medium that holds targetDir (its mount point), wiped before a run:
// every file on it is deleted, depth first; directories stay, symbolic links are
// removed as links and never followed, and other file systems mounted below it are
// left alone. Refuses the file-system root and any medium that holds the program's
// directory or the source directory. mediumRoot receives the mount point.
WipeResult WipeRemovableDisk(const VolumeService& volumes, const std::string& targetDir,
                             const WipeGuards& guards, std::string& mediumRoot);

// The message for a refused wipe, followed by the medium's mount point, in the
// language "CZ", "EN" or "SK" (others give Czech).
std::string wipeRefusedText(std::string_view languageCode);

// True when path is dir or lies below it (both absolute, compared by their
// normalised form).
bool isInsideDirectory(const std::string& path, const std::string& dir);

} // namespace kd
