#pragma once
#include "app/core/profiles/ObjektZal.h"

#include <optional>
#include <string>

namespace kd {

// The archive a profile's last backup run wrote into its target directory.
struct NewestArchive {
    std::string path; // the file to open: the archive, or the last part of a part set
    int version = 0;  // its number among the kept versions; 0 for an unnumbered one
    bool partSet = false;
};

// Finds the profile's newest archive. An archive base B (target directory + name, +
// version number or run date) is present as B.zip, as the self-extracting program
// B.exe, or as the part files B.001, B.002, ... of a split archive (whose last part,
// holding the directory, is opened); when several are there the most recently
// written one counts.
//
// With numbered versions kept, a run writes the number after the last of the
// versions 1, 2, ... present without a gap (after deleting 1 and moving the others
// down when that passes the count), so that number is the newest; a higher number
// behind a gap is a stale left-over. When version 1 is missing, or no versions are
// kept, the most recently written of the profile's archives counts: the unnumbered
// one, those of runs named with their date and time, and with versions kept the
// numbered ones.
// nullopt when the profile has no archive at all.
std::optional<NewestArchive> findNewestArchive(const TObjektZal& profile);

} // namespace kd
