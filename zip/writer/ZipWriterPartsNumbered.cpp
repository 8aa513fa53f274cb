#include "zip/writer/ZipWriterPartsNumbered.h"

#include <filesystem>
#include <set>

#include "zip/format/ZfcFile.h"

namespace kd {

namespace {

std::int64_t checkedSize(std::int64_t size, const char* which) {
    if (size < 1)
        throw Exception(std::string("The ") + which + " part size must be at least 1 byte, not " +
                        std::to_string(size));
    return size;
}

} // namespace

ZipWriterPartsNumbered::ZipWriterPartsNumbered(const std::string& zipName, std::int64_t firstSize,
                                               std::int64_t nextSize)
    : ZipWriterParts(zipName), nextSize_(checkedSize(nextSize, "further")) {
    openPart(PartFileName(zipName, 1), checkedSize(firstSize, "first"));
}

void ZipWriterPartsNumbered::startNextPart() {
    closePart();
    ++partNumber_;
    openPart(PartFileName(zipName_, partNumber_ + 1), nextSize_);
}

std::string ZipWriterPartsNumbered::ArchiveName() const {
    return partNumber_ == 0 ? zipName_ : PartFileName(zipName_, partNumber_ + 1);
}

void ZipWriterPartsNumbered::Commit() {
    if (partNumber_ == 0)
        partFinal_ = zipName_;
    closePart();
    std::set<std::string> placed;
    for (const auto& part : closed_)
        placed.insert(part.second);
    placeClosedParts();

    // An older set's parts beyond the new set's last are not part of it any more, nor
    // is an older single archive under the archive's own name.
    const auto removeStale = [&](const std::string& name) {
        std::error_code ec;
        if (!placed.count(name) && std::filesystem::is_regular_file(name, ec))
            std::filesystem::remove(name, ec);
    };
    const int parts = partNumber_ + 1;
    for (int n = parts == 1 ? 1 : parts + 1;; ++n) {
        const std::string stale = PartFileName(zipName_, n);
        std::error_code ec;
        if (!std::filesystem::exists(stale, ec))
            break;
        removeStale(stale);
    }
    removeStale(zipName_);
}

} // namespace kd
