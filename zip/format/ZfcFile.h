#pragma once
#include <string>

#include "platform/Stream.h"
#include "zip/base/TObjectList.h"
#include "zip/format/TEndCentral.h"
#include "zip/format/TZipHeaderInfo.h"

// The ".zfc" side file of a multi-part archive: a copy of its central directory and
// end record, so that the set can be read without its last part. It holds exactly
// the central headers in directory order, then the end record with the archive
// comment (carrying the set's values: ThisDisk the last disk, CentralOffsetOnDisk
// the offset on the disk holding the central directory). A reader takes the central
// directory from offset 0 of the side file and the comment from it too.
namespace kd {

// The archive's name with its extension replaced by ".zfc" (appended when the file
// name has none).
std::string ZfcFileName(const std::string& archiveName);

// The name of part number (1-based) of a set of numbered part files: the archive's
// name with its extension replaced by "." and the number in three digits
// ("backup.zip" -> "backup.001").
std::string PartFileName(const std::string& archiveName, int number);

// Writes the side file's content to stream. The entries' and the end record's
// comments must be loaded.
void WriteZfcFile(Stream& stream, const TObjectList<TZipHeaderInfo>& directory,
                  const TEndCentral& end);

} // namespace kd
