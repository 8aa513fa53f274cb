#include "zip/ZfcFile.h"

namespace kd {

std::string ZfcFileName(const std::string& archiveName) {
    const auto slash = archiveName.rfind('/');
    const auto dot = archiveName.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? archiveName.substr(0, dot) : archiveName) + ".zfc";
}

void WriteZfcFile(Stream& stream, const TObjectList<TZipHeaderInfo>& directory,
                  const TEndCentral& end) {
    for (const auto& entry : directory)
        entry->WriteCentralHeader(stream);
    end.WriteEndRecord(stream);
}

} // namespace kd
