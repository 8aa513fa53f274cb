#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Stream.h"

namespace kd {

// One archive entry: the fields of its local and central headers in memory.
//
// Names are UTF-8 and split by EntryFileNameStart: Directory() is "" or ends with "/",
// FileName() is the rest (empty for a directory entry). A "\" read from an archive is
// held as "/". On disk they are stored as
// EncodeEntryName says (CP852 or UTF-8 with flag bit 11); NameLength counts the
// stored bytes: as read when the entry came from an archive, as the setters and the
// writers compute it otherwise. Writing a header stores a name read from an archive
// as it was read (bytes and flag bit 11) until it is changed; any other name in its
// current encoding, bringing NameLength and flag bit 11 up to date.
//
// Comments are bytes as stored, loaded on demand by the reader: CommentLength is the
// stored length even while Comment() is not loaded.
//
// Besides the DOS date and time (local time, two-second steps) an entry may carry its
// exact modification time in UTC (UnixModified): read from the extended timestamp or
// the NTFS extra field of its central header (extraction takes the local header's
// when it has one), and written as an extended timestamp into both headers. No other
// extra field is kept or written.
class TZipHeaderInfo {
public:
    // Gives the stream of the next disk when a central header continues there.
    using NextVolume = std::function<Stream&()>;

    TZipHeaderInfo() { SetDefaults(); }

    std::uint16_t VersionMadeBy; // low byte: version x 10; high byte: host (0 MS-DOS, 3 Unix)
    std::uint16_t VersionNeeded;
    std::uint16_t Flags;
    std::uint16_t Method;
    std::uint32_t DosDateTime; // time in the low word, date in the high word
    std::uint32_t Crc32;
    std::uint32_t CompressedSize;
    std::uint32_t UncompressedSize;
    std::uint16_t NameLength;
    std::uint16_t CentralExtraLength;
    std::uint16_t LocalExtraLength;
    std::uint16_t CommentLength;
    std::uint16_t DiskStart; // 0-based disk or part holding the local header
    std::uint16_t InternalAttributes;
    std::uint32_t ExternalAttributes; // DOS attributes in the low byte; Unix mode in the high
                                      // 16 bits when the host is Unix
    std::uint32_t LocalOffset;        // of the local header on its disk
    std::int64_t CentralOffset;       // where the central header was read
    bool Zip64Extra;                  // the header read carried a ZIP64 extra field
    bool Matched;                     // chosen by the running extraction
    bool Selected;                    // the user's selection

    // Version 20 made on MS-DOS, method 8, CRC 0xFFFFFFFF, internal attributes 1,
    // external attributes 0x20 (archive), everything else 0 or empty.
    void SetDefaults();
    void Assign(const TZipHeaderInfo& source) { *this = source; }

    const std::string& FileName() const { return fileName_; }
    const std::string& Directory() const { return directory_; }
    // Directory() + FileName(): the entry's name as stored (with "/").
    std::string FullName() const { return directory_ + fileName_; }
    void SetFileName(std::string_view name);
    // A non-empty value gets a trailing "/".
    void SetDirectory(std::string_view directory);
    // Splits a full name as EntryFileNameStart says.
    void SetFullName(std::string_view name);

    const std::optional<std::string>& Comment() const { return comment_; }
    // Sets the comment (none for empty text) and CommentLength. Over 65535 bytes
    // throws kd::Exception.
    void SetComment(std::string_view text);

    // Seconds since 1970-01-01 UTC; nullopt when the entry has only its DOS time.
    const std::optional<std::int64_t>& UnixModified() const { return unixModified_; }
    // Sets the time to write; both extra lengths become the length of its field.
    void SetUnixModified(std::optional<std::int64_t> modified);
    // Takes the exact time of the entry's local header when it names one (nothing
    // else changes): a file extracted gets that time, as other tools give it, and the
    // central header may lack it or hold only its flags.
    void TakeLocalTime(std::optional<std::int64_t> modified);
    // The extra field the header writers store (empty without a time the field holds).
    std::string ExtraField() const;

    bool HasComment() const { return CommentLength != 0; }
    bool IsEncrypted() const;
    bool HasDataDescriptor() const;
    std::uint32_t LocalHeaderSize() const { return 30u + NameLength + LocalExtraLength; }
    std::uint32_t CentralHeaderSize() const {
        return 46u + NameLength + CentralExtraLength + CommentLength;
    }

    // Reads a central header at the stream's position and leaves the stream behind
    // its extra field and comment (the comment is not loaded; the time of the extra
    // field is taken). When fewer than 46
    // bytes are left and nextVolume is given, the rest comes from the stream it
    // returns. False (position restored, unless the disk changed) when there is no
    // complete central header.
    bool ReadCentralHeader(Stream& stream, const NextVolume& nextVolume = {});
    // Reads a local header and its name; leaves the stream at the extra field. False
    // (position restored) when there is no complete local header.
    bool ReadLocalHeader(Stream& stream);
    // Reads the LocalExtraLength bytes at the stream's position (the extra field behind
    // a local header) and takes the time they carry; false when the stream ends first.
    bool ReadLocalExtra(Stream& stream);

    // Writes the central header with its name, ExtraField() (CentralExtraLength
    // becomes its length) and comment. Throws when a comment is announced but not
    // loaded, or when the stream does not take every byte.
    void WriteCentralHeader(Stream& stream);
    // Sets LocalOffset to the stream position, then writes the local header, name and
    // ExtraField() (LocalExtraLength becomes its length). Throws kd::Exception when
    // the position is beyond 4 GiB, EWriteError on a short write.
    void WriteLocalHeader(Stream& stream);

private:
    // The name as it goes to disk; updates NameLength and flag bit 11.
    std::string encodeName();
    void setName(std::string directory, std::string fileName);
    // Takes the name as read (NameLength the stored length, the flags untouched, the
    // bytes kept for writing the header again).
    void setReadName(std::string stored);

    std::string fileName_;
    std::string directory_;
    std::optional<std::string> comment_;
    std::optional<std::int64_t> unixModified_;
    std::optional<std::string> storedName_; // the bytes read, while the name is unchanged
};

} // namespace kd
