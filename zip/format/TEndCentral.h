#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Stream.h"

namespace kd {

// The end of central directory record of an archive, and its comment (bytes as
// stored, loaded on demand by the reader).
class TEndCentral {
public:
    TEndCentral() { Clear(); }

    // The 22 stored bytes, in their order.
    std::uint32_t Signature;
    std::uint16_t ThisDisk;    // 0-based number of this (the last) disk
    std::uint16_t CentralDisk; // disk on which the central directory starts
    std::uint16_t EntriesOnDisk;
    std::uint16_t TotalEntries;
    std::uint32_t CentralSize;
    std::uint32_t CentralOffsetOnDisk;
    std::uint16_t CommentLength;

    std::int64_t CommentPosition; // file position of the archive comment
    bool Modified;                // the directory or a comment changed in memory

    // The end signature, every other field 0, no comment.
    void Clear();
    // Copies the stored fields, the comment and CommentPosition (not Modified). A
    // loaded comment sets CommentLength to its length.
    void Assign(const TEndCentral& source);

    const std::optional<std::string>& Comment() const { return comment_; }
    // Sets the comment (none for empty text) and CommentLength; over 65535 bytes
    // throws kd::Exception.
    void SetComment(std::string_view text);
    bool HasComment() const { return CommentLength != 0; }
    std::uint32_t EndRecordSize() const { return 22u + CommentLength; }

    // Finds the end record in the last 65557 bytes of the stream and reads its fields
    // (the comment is dropped, to be loaded from CommentPosition when needed). Only a
    // record whose comment fits inside the stream counts, so an end signature inside
    // a comment cannot take the real record's place: preferred is one whose comment
    // ends exactly at the end of the stream, then one whose directory size can hold
    // its entry count; the nearest to the end among equals. An empty stream counts as
    // found (fields unchanged); 1 to 21 bytes, or no acceptable record, as not found.
    bool FindAndReadEndRecord(Stream& stream);

    // Writes the 22 bytes and the comment. Throws when a comment is announced but not
    // loaded, EWriteError on a short write.
    void WriteEndRecord(Stream& stream) const;

private:
    std::optional<std::string> comment_;
};

} // namespace kd
