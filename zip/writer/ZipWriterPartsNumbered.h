#pragma once
#include <cstdint>
#include <string>

#include "zip/writer/ZipWriterParts.h"

namespace kd {

// An archive written as numbered part files beside it: "backup.zip" becomes
// "backup.001" of firstSize bytes at most, then "backup.002" ... of nextSize bytes
// at most.
//
// Nothing is renamed before Commit, so a failed run leaves the previous set as it
// was. Commit renames the parts into place (a set of one part takes the archive's own
// name) and then removes what is left of an older set: higher-numbered parts, and the
// archive's own name when the new set has several parts.
class ZipWriterPartsNumbered : public ZipWriterParts {
public:
    // Sizes below 1 are refused.
    ZipWriterPartsNumbered(const std::string& zipName, std::int64_t firstSize,
                           std::int64_t nextSize);

    void Commit() override;
    // The last part's name (the archive's own name for a set of one part).
    std::string ArchiveName() const override;

private:
    void startNextPart() override;

    std::int64_t nextSize_;
};

} // namespace kd
