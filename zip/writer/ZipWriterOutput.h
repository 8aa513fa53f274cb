#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileStamp.h"
#include "platform/TempFileBeside.h"
#include "zip/base/TLFNFileStream.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/writer/PositionStream.h"

namespace kd {

// The archive file a run writes: a temporary file beside the archive it is to become
// (TempFileBeside: unnamed where the file system allows), so that nothing of the old
// archive is touched until Commit puts it in place. Destroyed without Commit, it
// leaves nothing behind.
//
// A single archive has one part, limited to the size the format can address;
// ZipWriterParts writes several, starting the next part in CheckRoom.
class ZipWriterOutput {
public:
    // Creates the file in zipName's directory; throws when it cannot.
    ZipWriterOutput(const std::string& zipName, std::uint64_t maxSize);
    virtual ~ZipWriterOutput();
    ZipWriterOutput(const ZipWriterOutput&) = delete;
    ZipWriterOutput& operator=(const ZipWriterOutput&) = delete;

    Stream& Out() { return *out_; }
    // Which file is being written (the first part of a set), for telling it apart
    // from the files to archive.
    std::optional<FileStamp> Identity() const {
        return temp_ ? FileStampOf(temp_->Fd()) : std::nullopt;
    }
    std::int64_t Position() { return out_->Position(); }
    void Seek(std::int64_t position) { out_->Seek(position, SeekOrigin::Begin); }

    // Raises EZipTooLarge when count more bytes from the position would pass the
    // largest archive the format holds.
    virtual void CheckRoom(std::uint64_t count);
    // Writes an entry's local header at the position (setting its LocalOffset), after
    // the room check.
    virtual void WriteLocalHeader(TZipHeaderInfo& header);
    // Makes room for an entry copied as it stands: its local header of headerSize
    // bytes and, with its data, entrySize bytes in all. The entry then starts at the
    // position.
    virtual void PlaceEntry(std::uint64_t headerSize, std::uint64_t entrySize);
    // Copies count bytes of an entry from source (at its position); afterChunk gets
    // the length of each chunk copied.
    virtual void WriteData(Stream& source, std::uint64_t count,
                           const std::function<void(std::size_t)>& afterChunk);
    // Writes all count bytes (CheckRoom first); a short write raises ENotEnoughRoom.
    void Write(const void* data, std::size_t count);

    // Writes everything out to the device, cuts the file at the current position
    // (an entry written again may have left bytes behind it), gives it the permission
    // bits of the archive it replaces (those of a new file otherwise), closes it and
    // renames it to the archive's name. Throws on any failure; the old archive then
    // stays.
    virtual void Commit();

protected:
    // For derived outputs, which create their files themselves.
    explicit ZipWriterOutput(std::string zipName);
    // Creates the temporary file that is to become target and the stream over it.
    void openFile(const std::string& target);
    // Writes the file out, cuts it at the current position, gives it the permission
    // bits of modeOf (those of a new file when modeOf does not exist) and closes it.
    void closeFile(const std::string& modeOf);

    std::string zipName_;
    std::unique_ptr<TempFileBeside> temp_;
    std::unique_ptr<TLFNFileStream> stream_; // over temp_, destroyed before it
    // Over stream_, destroyed before it: every write and seek goes through here.
    std::unique_ptr<PositionStream> out_;
    std::uint64_t maxSize_;
};

} // namespace kd
