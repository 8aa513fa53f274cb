#include "zip/format/TEndCentral.h"

#include <algorithm>
#include <array>
#include <vector>

#include "zip/format/RecordSignatures.h"
#include "zip/format/ZipRecords.h"

namespace kd {

void TEndCentral::Clear() {
    Signature = Signatures().End;
    ThisDisk = CentralDisk = EntriesOnDisk = TotalEntries = 0;
    CentralSize = CentralOffsetOnDisk = 0;
    CommentLength = 0;
    CommentPosition = 0;
    Modified = false;
    comment_.reset();
}

void TEndCentral::Assign(const TEndCentral& source) {
    Signature = source.Signature;
    ThisDisk = source.ThisDisk;
    CentralDisk = source.CentralDisk;
    EntriesOnDisk = source.EntriesOnDisk;
    TotalEntries = source.TotalEntries;
    CentralSize = source.CentralSize;
    CentralOffsetOnDisk = source.CentralOffsetOnDisk;
    CommentLength = source.CommentLength;
    comment_ = source.comment_;
    if (comment_)
        CommentLength = static_cast<std::uint16_t>(comment_->size());
    CommentPosition = source.CommentPosition;
}

void TEndCentral::SetComment(std::string_view text) {
    if (text.size() > kMaxCommentLength)
        throw Exception("Comment longer than 65535 bytes");
    comment_ = text.empty() ? std::nullopt : std::optional<std::string>(text);
    CommentLength = static_cast<std::uint16_t>(text.size());
}

bool TEndCentral::FindAndReadEndRecord(Stream& stream) {
    const std::int64_t size = stream.Size();
    if (size < static_cast<std::int64_t>(kEndRecordFixed))
        return size == 0;
    const auto n =
        static_cast<std::size_t>(std::min<std::int64_t>(size, kEndRecordFixed + kMaxCommentLength));
    std::vector<std::uint8_t> tail(n);
    stream.Seek(size - static_cast<std::int64_t>(n), SeekOrigin::Begin);
    if (stream.Read(tail.data(), n) != n)
        return false;
    // Candidates by preference: a comment that ends exactly at the end of the stream,
    // then one that merely fits; within each, one whose directory size can hold its
    // entry count (46 bytes each) first; the nearest to the end within a rank.
    std::array<std::optional<std::size_t>, 4> ranked;
    for (std::size_t i = n - kEndRecordFixed + 1; i-- > 0 && !ranked[0];) {
        if (tail[i] != Signatures().EndFirstByte || GetLE32(&tail[i]) != Signatures().End)
            continue;
        const std::size_t end = i + kEndRecordFixed + GetLE16(&tail[i + 20]);
        if (end > n)
            continue;
        const bool plausible = GetLE32(&tail[i + 12]) >= std::uint64_t{46} * GetLE16(&tail[i + 10]);
        auto& slot = ranked[(end == n ? 0 : 2) + (plausible ? 0 : 1)];
        if (!slot)
            slot = i;
    }
    const auto best =
        std::find_if(ranked.begin(), ranked.end(), [](const auto& r) { return r.has_value(); });
    if (best == ranked.end())
        return false;
    const std::optional<std::size_t> found = *best;
    const std::uint8_t* r = &tail[*found];
    Signature = Signatures().End;
    ThisDisk = GetLE16(r + 4);
    CentralDisk = GetLE16(r + 6);
    EntriesOnDisk = GetLE16(r + 8);
    TotalEntries = GetLE16(r + 10);
    CentralSize = GetLE32(r + 12);
    CentralOffsetOnDisk = GetLE32(r + 16);
    CommentLength = GetLE16(r + 20);
    comment_.reset();
    CommentPosition =
        size - static_cast<std::int64_t>(n) + static_cast<std::int64_t>(*found + kEndRecordFixed);
    return true;
}

void TEndCentral::WriteEndRecord(Stream& stream) const {
    if (CommentLength != 0 && !comment_)
        throw Exception("The archive comment is not loaded");
    std::array<std::uint8_t, kEndRecordFixed> r{};
    PutLE32(&r[0], Signatures().End);
    PutLE16(&r[4], ThisDisk);
    PutLE16(&r[6], CentralDisk);
    PutLE16(&r[8], EntriesOnDisk);
    PutLE16(&r[10], TotalEntries);
    PutLE32(&r[12], CentralSize);
    PutLE32(&r[16], CentralOffsetOnDisk);
    PutLE16(&r[20], CommentLength);
    stream.WriteBuffer(r.data(), r.size());
    if (CommentLength != 0)
        stream.WriteBuffer(comment_->data(), comment_->size());
}

} // namespace kd
