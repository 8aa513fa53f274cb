#pragma once
#include <cstdint>
#include <functional>
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
// disk is full (the disks before cannot be had again), so a failed run removes only
// the part of the disk in the drive. Before the next disk is asked for, the full one
// is labelled "PKBACK# " + its three-digit number when labels are wanted and the
// drive is removable. The answer names the next disk's file: an answer that names a
// part this run wrote (the disk was not changed), or a drive without a disk, is asked
// again; an older file of that name is deleted to make room.
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

    bool writeLabels_;
    VolumeService& volumes_;
    Events events_;
    std::vector<FileStamp> written_; // the parts in place, by identity
};

} // namespace kd
