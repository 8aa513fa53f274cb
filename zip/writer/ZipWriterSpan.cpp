#include "zip/writer/ZipWriterSpan.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "zip/format/ZipExceptions.h"

namespace kd {

namespace {

// A handler that keeps answering with a drive that holds no usable disk gets an
// error after this many requests instead of asking forever.
constexpr int kMaxDiskRequests = 20;

bool hasDirectory(const std::string& name) {
    const std::string dir = std::filesystem::path(name).parent_path().string();
    std::error_code ec;
    return std::filesystem::is_directory(dir.empty() ? std::string(".") : dir, ec);
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

void ZipWriterSpan::finishDisk() {
    FilledDisk disk;
    disk.Name = partFinal_;
    placePart();
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
    std::error_code ec;
    if (!std::filesystem::remove(disk.Name, ec))
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
    finishDisk();
    std::string name;
    try {
        name = askForDisk();
    } catch (...) {
        takeBackFilledDisk();
        throw;
    }
    filled_.reset(); // in the user's hands now
    ++partNumber_;
    std::error_code ec;
    std::filesystem::remove(name, ec); // an older set's file, to make room
    if (events_.PrepareNextDisk)
        events_.PrepareNextDisk(partNumber_ + 1);
    openPart(name, freeSpace(name));
}

void ZipWriterSpan::Commit() {
    finishDisk();
}

} // namespace kd
