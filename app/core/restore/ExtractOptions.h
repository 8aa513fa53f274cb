#pragma once
#include <string>
#include <vector>

namespace kd {

class TZipReader;

// Which entries the extraction dialog extracts.
enum class ExtractChoice { All, Selected, Mask };

// The values of the extraction dialog.
struct ExtractOptions {
    ExtractChoice choice = ExtractChoice::All;
    std::string mask = "*.*";
    std::string destDir;
    std::string relDir;         // a leading part of the stored paths left out
    int overwritePosition = -1; // in kOverwriteChoiceItems (OverwriteChoice.h); -1 none
    bool recreateDirs = true;
    bool retainAttributes = true;
    std::string password;
};

// The dialog's values from the reader's settings: all entries when no row of the
// contents list is selected, else the selected ones.
ExtractOptions extractOptionsFromReader(const TZipReader& reader, bool anyRowSelected);

// Hands the dialog's values to the reader: DoAll, DestDir, RootDir, OverwriteMode (kept
// when no item is chosen), RecreateDirs, RetainAttributes and Password.
void applyExtractOptions(TZipReader& reader, const ExtractOptions& options);

// Extracts what the options choose from the reader's open archive: every entry, the
// entries matching the mask, or the entries of the selected rows (indexes into the
// reader's view). Gives the number extracted; the reader's ExtractFailures lists the
// entries that could not be.
int extractChosenEntries(TZipReader& reader, const ExtractOptions& options,
                         const std::vector<int>& selectedRows);

} // namespace kd
