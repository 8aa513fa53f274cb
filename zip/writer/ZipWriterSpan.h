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
// question is shown, and the disks before cannot be had again. A file the part
// replaces there (the first disk's older archive) is not deleted but kept on the disk
// under a temporary name (kTempFilePrefix) until the next disk is given: only then is
// the run past that disk. The full disk is then
// labelled "PKBACK# " + its three-digit number when labels are wanted and the drive
// is removable. The answer names the next disk's file: an answer that names a part
// this run wrote (the disk was not changed), or a drive without a disk, is asked
// again; an older file of that name is deleted to make room.
//
// A run that fails or is cancelled leaves nothing of its own on the disk in the
// drive: the part being written goes, and so does the part of the disk just filled
// when the run ends at the question for the next one (that disk is still in the
// drive), which gets back the file and the label it had before. A file kept aside on
// a disk taken out stays there until a later run sweeps that disk's directory (it
// does so as each disk comes in).
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
    // Places the current part and labels its disk; keepOld keeps a file the part
    // replaces aside on the disk.
    void finishDisk(bool keepOld);
    std::string askForDisk();
    bool isWrittenPart(const std::string& name) const;
    std::int64_t freeSpace(const std::string& name) const;

    // Takes the part of the disk just filled back off it, and gives the disk its label
    // again, when that part is still in the drive.
    void takeBackFilledDisk();

    // A file moved off a part's name, and which file it is.
    struct AsideFile {
        std::string Path;
        FileStamp Stamp;
    };
    // Moves the file of name (if any) to a free temporary name in its directory;
    // throws when it cannot, before anything is replaced.
    static std::optional<AsideFile> setAside(const std::string& name);
    // Moves the file back to name, over what is there; false when it is not (or no
    // longer) there or cannot be moved.
    static bool putBack(const AsideFile& aside, const std::string& name);
    // Deletes the file where it still is (its disk is in the drive).
    static void dropAside(const AsideFile& aside);

    // The disk just filled, until the next disk is given.
    struct FilledDisk {
        std::string Name;
        std::optional<FileStamp> Part;
        std::optional<AsideFile> Old; // what the part replaced
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
