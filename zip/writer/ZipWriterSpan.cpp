#include "zip/writer/ZipWriterSpan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

#include "platform/RenameNoReplace.h"
#include "platform/TempFileBeside.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

namespace {

// A handler that keeps answering with a drive that holds no usable disk gets an
// error after this many requests instead of asking forever.
constexpr int kMaxDiskRequests = 20;

constexpr int kAsideNameAttempts = 100;

std::string directoryOf(const std::string& name) {
    const std::string dir = std::filesystem::path(name).parent_path().string();
    return dir.empty() ? std::string(".") : dir;
}

bool hasDirectory(const std::string& name) {
    std::error_code ec;
    return std::filesystem::is_directory(directoryOf(name), ec);
}

// The stamp of the file or link path names, without following a link.
std::optional<FileStamp> linkStampOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileStampOf(st);
}

} // namespace

ZipWriterSpan::ZipWriterSpan(const std::string& zipName, std::int64_t reserve, bool writeLabels,
                             VolumeService& volumes, Events events)
    : ZipWriterParts(zipName), writeLabels_(writeLabels), volumes_(volumes),
      events_(std::move(events)) {
    openPart(zipName, freeSpace(zipName) - reserve);
}

std::string ZipWriterSpan::DiskLabel(int disk) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "PKBACK# %03d", disk);
    return text.data();
}

std::int64_t ZipWriterSpan::freeSpace(const std::string& name) const {
    const auto free = volumes_.freeSpace(name);
    return free ? static_cast<std::int64_t>(std::min<std::uint64_t>(*free, INT64_MAX)) : 0;
}

std::optional<ZipWriterSpan::AsideFile> ZipWriterSpan::setAside(const std::string& name) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 && errno == ENOENT)
        return std::nullopt;
    // A directory of that name fails the part's rename anyway.
    if (S_ISDIR(st.st_mode))
        return std::nullopt;
    std::random_device random;
    int error = 0;
    for (int attempt = 0; attempt < kAsideNameAttempts; ++attempt) {
        std::array<char, 24> suffix{};
        std::snprintf(suffix.data(), suffix.size(), "%08x%08x", random(), random());
        AsideFile aside{directoryOf(name) + "/" + std::string(kTempFilePrefix) + suffix.data(),
                        FileStampOf(st)};
        if (renameNoReplace(name, aside.Path))
            return aside;
        error = errno;
        if (error != EEXIST)
            break;
    }
    throw Exception("Cannot keep " + name + " until the new set is written: " +
                    std::strerror(error));
}

bool ZipWriterSpan::putBack(const AsideFile& aside, const std::string& name) {
    return linkStampOf(aside.Path) == aside.Stamp &&
           std::rename(aside.Path.c_str(), name.c_str()) == 0;
}

void ZipWriterSpan::dropAside(const AsideFile& aside) {
    if (linkStampOf(aside.Path) == aside.Stamp)
        ::unlink(aside.Path.c_str());
}

void ZipWriterSpan::finishDisk(bool keepOld) {
    FilledDisk disk;
    disk.Name = partFinal_;
    closePart();
    // Set aside only now: the part takes the permission bits of the file it replaces.
    if (keepOld)
        disk.Old = setAside(disk.Name);
    try {
        placeClosedParts();
    } catch (...) {
        if (disk.Old)
            putBack(*disk.Old, disk.Name);
        throw;
    }
    disk.Part = FileStampOf(disk.Name);
    if (disk.Part)
        written_.push_back(*disk.Part);
    // Labels are a help for the reader, not a must: failures are ignored.
    if (writeLabels_ && volumes_.isRemovable(disk.Name)) {
        disk.Label = volumes_.volumeLabel(disk.Name);
        volumes_.setVolumeLabel(disk.Name, "");
        disk.Labelled = volumes_.setVolumeLabel(disk.Name, DiskLabel(partNumber_ + 1));
    }
    filled_ = std::move(disk);
}

void ZipWriterSpan::takeBackFilledDisk() {
    const FilledDisk disk = *std::exchange(filled_, std::nullopt);
    // Another disk put in meanwhile may hold a file of that name: only the very file
    // the run wrote goes.
    if (!disk.Part || FileStampOf(disk.Name) != disk.Part)
        return;
    // The file the part replaced comes back over it in one step.
    const bool restored = disk.Old && putBack(*disk.Old, disk.Name);
    std::error_code ec;
    if (!restored && !std::filesystem::remove(disk.Name, ec))
        return;
    if (disk.Labelled) {
        volumes_.setVolumeLabel(disk.Name, "");
        if (disk.Label)
            volumes_.setVolumeLabel(disk.Name, *disk.Label);
    }
}

bool ZipWriterSpan::isWrittenPart(const std::string& name) const {
    const auto stamp = FileStampOf(name);
    return stamp && std::find(written_.begin(), written_.end(), *stamp) != written_.end();
}

std::string ZipWriterSpan::askForDisk() {
    for (int request = 1;; ++request) {
        std::string name = partFinal_;
        events_.GetNextDisk(partNumber_ + 2, name);
        if (name.empty())
            throw EUserCanceled(kMsgCanceledZip);
        if (hasDirectory(name) && !isWrittenPart(name))
            return name;
        if (request >= kMaxDiskRequests)
            throw EMissingVolume("Disk " + std::to_string(partNumber_ + 2) +
                                 " of the multi-disk set was not inserted (" + name + ")");
    }
}

void ZipWriterSpan::startNextPart() {
    finishDisk(true);
    std::string name;
    try {
        name = askForDisk();
    } catch (...) {
        takeBackFilledDisk();
        throw;
    }
    // The disk just filled is in the user's hands now; what its part replaced goes
    // while that disk is still in the drive, else with a later sweep there.
    if (const auto old = std::exchange(filled_, std::nullopt)->Old)
        dropAside(*old);
    ++partNumber_;
    std::error_code ec;
    std::filesystem::remove(name, ec); // an older set's file, to make room
    TempFileBeside::SweepStale(directoryOf(name));
    if (events_.PrepareNextDisk)
        events_.PrepareNextDisk(partNumber_ + 1);
    openPart(name, freeSpace(name));
}

void ZipWriterSpan::Commit() {
    // The set is complete: the last part replaces what is there.
    finishDisk(false);
}

} // namespace kd
