#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// Where an entry goes below the destination: the directories to walk into and the
// file name, each a plain name (never empty, "." or ".."), so that following them
// cannot leave the destination.
struct ExtractPath {
    std::vector<std::string> Dirs;
    std::string Name; // empty for a directory entry

    // The path below base ("" for the current directory), with "/" between.
    std::string JoinedTo(const std::string& base) const;
};

// The relative target of an entry with the stored name. "\" separates like "/", as in
// archives from Windows. With recreateDirs the stored directory is kept, without a
// leading rootDir (compared without case) and without a leading "/" or drive ("C:"),
// so absolute names land below the destination; without it only the name is kept.
// nullopt when a component is "..": such a name could lead outside.
std::optional<ExtractPath> MakeExtractPath(std::string_view storedName, std::string_view rootDir,
                                           bool recreateDirs);

// True when the stored name holds nothing but separators (after a drive), so that it
// names no file or directory at all ("\", "/", "C:\" or an empty name); "./" names
// the destination itself.
bool NamesNothing(std::string_view storedName);

// True when a mask of the extraction chooses the stored name. Like a directory search,
// a name without an extension is also tried with "." appended, so "*.*" takes it.
bool ExtractMaskMatches(std::string_view mask, std::string_view storedName);

} // namespace kd
