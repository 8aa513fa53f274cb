// Opening an archive and reading its directory: the reader's entry points.
#include <optional>

#include "zip/format/ZfcFile.h"
#include "zip/reader/TZipReader.h"
#include "zip/reader/ZipDirectoryReader.h"

namespace kd {

namespace {

// What an OnInCompleteZip handler could have changed: the name, the archive file and
// its side file.
struct ArchiveState {
    std::string name;
    std::optional<FileStamp> archive, side;
    bool operator==(const ArchiveState&) const = default;
};

ArchiveState archiveState(const std::string& name) {
    return {name, FileStampOf(name), FileStampOf(ZfcFileName(name))};
}

} // namespace

void TZipReader::ReadDirectory() {
    ZipDirectoryReader reader(*this);
    try {
        reader.Read();
    } catch (...) {
        // Never leave half a directory that a later open would take as read.
        sortedView_.reset();
        directory_.reset();
        recordedStamp_.reset();
        throw;
    }
}

void TZipReader::OpenAndReadDirectory() {
    cancel_ = false;
    for (;;) {
        const ArchiveState before = archiveState(zipName_);
        ui_->setBusyCursor(true);
        try {
            OpenZipFile();
            break;
        } catch (const EIncompleteZip&) {
            ui_->setBusyCursor(false);
            CloseArchive();
            // Another try makes sense only when the handler changed something (it
            // chose another mode, or a disk or file came in); otherwise the archive
            // stays without a directory, as without a handler.
            if (!OnInCompleteZip || archiveState(zipName_) == before || cancel_) {
                cancel_ = false;
                break;
            }
        } catch (...) {
            ClearDirectory();
            ui_->setBusyCursor(false);
            throw;
        }
    }
    CloseZipFile();
    ui_->setBusyCursor(false);
}

} // namespace kd
