#include "zip/writer/ZipWriterOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "zip/writer/ZipWriterTypes.h"

namespace kd {

namespace {

constexpr std::size_t kCopyChunk = 16384;

// The permission bits the archive gets: those of the file it replaces, else those
// of a new file under the process's umask.
mode_t archiveMode(const std::string& zipName) {
    struct stat st {};
    if (::stat(zipName.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

[[noreturn]] void failCommit(const std::string& zipName, const char* what) {
    throw Exception("Cannot write " + zipName + ": " + what + ": " + std::strerror(errno));
}

} // namespace

ZipWriterOutput::ZipWriterOutput(const std::string& zipName, std::uint64_t maxSize)
    : zipName_(zipName), maxSize_(maxSize) {
    openFile(zipName);
}

ZipWriterOutput::ZipWriterOutput(std::string zipName)
    : zipName_(std::move(zipName)), maxSize_(kMaxZipSize) {}

ZipWriterOutput::~ZipWriterOutput() = default;

void ZipWriterOutput::openFile(const std::string& target) {
    out_.reset();
    stream_.reset();
    // Owner-only until Commit gives the archive its own permission bits.
    temp_ = std::make_unique<TempFileBeside>(target, 0600);
    stream_ = std::make_unique<TLFNFileStream>(temp_->DupFd(), target, kZipBufferSize, true);
    out_ = std::make_unique<PositionStream>(*stream_);
}

void ZipWriterOutput::CheckRoom(std::uint64_t count) {
    const auto position = static_cast<std::uint64_t>(Position());
    if (position + count > maxSize_)
        throw EZipTooLarge("The archive " + zipName_ +
                           " would pass 4 GiB, which a ZIP archive without ZIP64 cannot hold");
}

void ZipWriterOutput::WriteLocalHeader(TZipHeaderInfo& header) {
    CheckRoom(header.LocalHeaderSize());
    header.WriteLocalHeader(*out_);
}

void ZipWriterOutput::PlaceEntry(std::uint64_t, std::uint64_t entrySize) {
    CheckRoom(entrySize);
}

void ZipWriterOutput::WriteData(Stream& source, std::uint64_t count,
                                const std::function<void(std::size_t)>& afterChunk) {
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (std::uint64_t left = count; left > 0;) {
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, kCopyChunk));
        source.ReadBuffer(buffer.data(), chunk);
        Write(buffer.data(), chunk);
        left -= chunk;
        if (afterChunk)
            afterChunk(chunk);
    }
}

void ZipWriterOutput::Write(const void* data, std::size_t count) {
    CheckRoom(count);
    try {
        out_->WriteBuffer(data, count);
    } catch (const EWriteError&) {
        throw ENotEnoughRoom();
    }
}

void ZipWriterOutput::closeFile(const std::string& modeOf) {
    const std::int64_t end = Position();
    try {
        stream_->FlushPending();
    } catch (const EWriteError&) {
        throw ENotEnoughRoom();
    }
    if (::ftruncate(stream_->Handle(), end) != 0)
        failCommit(zipName_, "cannot cut the file");
    if (::fchmod(stream_->Handle(), archiveMode(modeOf)) != 0)
        failCommit(zipName_, "cannot set its permissions");
    try {
        stream_->Close();
    } catch (const EWriteError&) {
        throw ENotEnoughRoom();
    }
}

void ZipWriterOutput::Commit() {
    closeFile(zipName_);
    try {
        temp_->Publish();
    } catch (const Exception& e) {
        throw Exception("Cannot write " + zipName_ +
                        ": cannot rename the new archive into place: " + e.what());
    }
}

} // namespace kd
