#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStamp.h"
#include "platform/VolumeService.h"
#include "zip/writer/ZipWriterParts.h"

namespace kd {

// An archive spanned over removable disks, one part per disk, each filling the room
// the disk has (the first keeping reserve bytes free).
//
// A disk's part is written under a temporary name and renamed to its name when the
// disk is full, before the next disk is asked for: the disk may be changed while the
// question is shown, and the disks before cannot be had again. The full disk is then
// labelled "PKBACK# " + its three-digit number when labels are wanted and the drive
// is removable. The answer names the next disk's file: an answer that names a part
// this run wrote (the disk was not changed), or a drive without a disk, is asked
// again; an older file of that name is deleted to make room.
//
// A run that fails or is cancelled leaves nothing of its own on the disk in the
// drive: the part being written goes, and so does the part of the disk just filled
// when the run ends at the question for the next one (that disk is still in the
// drive), with the label it had before.
class ZipWriterSpan : public ZipWriterParts {
public:
    struct Events {
        // Disk n (1-based) is wanted; name comes in as the current part's name and
        // goes out as the next one's, empty to cancel.
        std::function<void(int n, std::string& name)> GetNextDisk;
        // Disk n is in the drive and its old file gone (may be unset).
        std::function<void(int n)> PrepareNextDisk;
    };

    // volumes must outlive the object.
    ZipWriterSpan(const std::string& zipName, std::int64_t reserve, bool writeLabels,
                  VolumeService& volumes, Events events);

    // Places and labels the last disk's part.
    void Commit() override;
    // The name the run started with.
    std::string ArchiveName() const override { return zipName_; }

    // "PKBACK# " and the disk number (1-based) in three digits.
    static std::string DiskLabel(int disk);

private:
    void startNextPart() override;
    // Places the current part and labels its disk.
    void finishDisk();
    std::string askForDisk();
    bool isWrittenPart(const std::string& name) const;
    std::int64_t freeSpace(const std::string& name) const;

    // Takes the part of the disk just filled back off it, and gives the disk its label
    // again, when that part is still in the drive.
    void takeBackFilledDisk();

    // The disk just filled, until the next disk is given.
    struct FilledDisk {
        std::string Name;
        std::optional<FileStamp> Part;
        bool Labelled = false;
        std::optional<std::string> Label; // the one it had before
    };

    bool writeLabels_;
    VolumeService& volumes_;
    Events events_;
    std::vector<FileStamp> written_; // the parts in place, by identity
    std::optional<FilledDisk> filled_;
};

} // namespace kd
