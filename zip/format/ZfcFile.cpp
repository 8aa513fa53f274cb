#include "zip/format/ZfcFile.h"

#include <array>
#include <cstdio>

namespace kd {

namespace {

std::string withExtension(const std::string& name, const std::string& extension) {
    const auto slash = name.rfind('/');
    const auto dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? name.substr(0, dot) : name) + extension;
}

} // namespace

std::string ZfcFileName(const std::string& archiveName) {
    return withExtension(archiveName, ".zfc");
}

std::string PartFileName(const std::string& archiveName, int number) {
    std::array<char, 16> digits{};
    std::snprintf(digits.data(), digits.size(), ".%03d", number);
    return withExtension(archiveName, digits.data());
}

void WriteZfcFile(Stream& stream, const TObjectList<TZipHeaderInfo>& directory,
                  const TEndCentral& end) {
    for (const auto& entry : directory)
        entry->WriteCentralHeader(stream);
    end.WriteEndRecord(stream);
}

} // namespace kd
