#include "app/core/restore/ExtractOptions.h"

#include "app/core/settings/OverwriteChoice.h"
#include "zip/reader/TZipReader.h"

namespace kd {

ExtractOptions extractOptionsFromReader(const TZipReader& reader, bool anyRowSelected) {
    ExtractOptions options;
    options.choice = anyRowSelected ? ExtractChoice::Selected : ExtractChoice::All;
    options.destDir = reader.DestDir();
    options.overwritePosition = overwriteChoiceOfMode(static_cast<int>(reader.OverwriteMode()));
    options.recreateDirs = reader.RecreateDirs();
    options.retainAttributes = reader.RetainAttributes();
    options.password = reader.Password();
    return options;
}

void applyExtractOptions(TZipReader& reader, const ExtractOptions& options) {
    reader.SetDoAll(options.choice == ExtractChoice::All);
    reader.SetDestDir(options.destDir);
    reader.SetRootDir(options.relDir);
    if (const auto mode = overwriteModeOfChoice(options.overwritePosition))
        reader.SetOverwriteMode(*mode);
    reader.SetRecreateDirs(options.recreateDirs);
    reader.SetRetainAttributes(options.retainAttributes);
    reader.SetPassword(options.password);
}

int extractChosenEntries(TZipReader& reader, const ExtractOptions& options,
                         const std::vector<int>& selectedRows) {
    reader.FilesList().clear();
    switch (options.choice) {
    case ExtractChoice::All:
        return reader.ExtractArchive();
    case ExtractChoice::Mask:
        reader.FilesList().push_back(options.mask);
        return reader.ExtractArchive();
    case ExtractChoice::Selected:
        break;
    }
    for (int row : selectedRows)
        reader.SetEntrySelected(row, true);
    return reader.ExtractSelectedEntries();
}

} // namespace kd
