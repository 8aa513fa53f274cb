#include "zip/format/TZipHeaderInfo.h"

#include <array>

#include "zip/base/DosDateTime.h"
#include "zip/format/EntryName.h"
#include "zip/format/ExtraField.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

bool startsWithSignature(const std::uint8_t* p, std::size_t got, std::uint32_t signature) {
    std::array<std::uint8_t, 4> sig{};
    PutLE32(sig.data(), signature);
    for (std::size_t i = 0; i < got && i < 4; ++i)
        if (p[i] != sig[i])
            return false;
    return true;
}

} // namespace

void TZipHeaderInfo::SetDefaults() {
    VersionMadeBy = 20;
    VersionNeeded = 20;
    Flags = 0;
    Method = 8;
    DosDateTime = 0;
    Crc32 = 0xFFFFFFFF;
    CompressedSize = UncompressedSize = 0;
    NameLength = CentralExtraLength = LocalExtraLength = CommentLength = DiskStart = 0;
    InternalAttributes = 1;
    ExternalAttributes = 0x20;
    LocalOffset = 0;
    CentralOffset = 0;
    Zip64Extra = Matched = Selected = false;
    fileName_.clear();
    directory_.clear();
    comment_.reset();
    unixModified_.reset();
    storedName_.reset();
}

void TZipHeaderInfo::SetUnixModified(std::optional<std::int64_t> modified) {
    unixModified_ = modified;
    CentralExtraLength = LocalExtraLength = static_cast<std::uint16_t>(ExtraField().size());
}

void TZipHeaderInfo::TakeLocalTime(std::optional<std::int64_t> modified) {
    if (modified)
        unixModified_ = modified;
}

std::string TZipHeaderInfo::ExtraField() const {
    return unixModified_ ? ExtendedTimestampField(*unixModified_) : std::string();
}

bool TZipHeaderInfo::IsEncrypted() const {
    return Flags & kFlagEncrypted;
}

bool TZipHeaderInfo::HasDataDescriptor() const {
    return Flags & kFlagDataDescriptor;
}

std::string TZipHeaderInfo::encodeName() {
    if (storedName_) {
        // Read from an archive and not renamed: the bytes and flag as they were, so that
        // a header written again matches the copied local header and other readers.
        NameLength = static_cast<std::uint16_t>(storedName_->size());
        return *storedName_;
    }
    StoredName stored = EncodeEntryName(FullName(), VersionMadeBy);
    if (stored.bytes.size() > 0xFFFF)
        throw Exception("Entry name too long: " + FullName());
    NameLength = static_cast<std::uint16_t>(stored.bytes.size());
    Flags = stored.utf8 ? Flags | kFlagUtf8Name : Flags & ~kFlagUtf8Name;
    return std::move(stored.bytes);
}

void TZipHeaderInfo::setName(std::string directory, std::string fileName) {
    storedName_.reset();
    directory_ = std::move(directory);
    fileName_ = std::move(fileName);
    encodeName();
}

void TZipHeaderInfo::SetFileName(std::string_view name) {
    if (name != fileName_)
        setName(directory_, std::string(name));
}

void TZipHeaderInfo::SetDirectory(std::string_view directory) {
    std::string dir(directory);
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    if (dir != directory_)
        setName(std::move(dir), fileName_);
}

void TZipHeaderInfo::SetFullName(std::string_view name) {
    const std::size_t split = EntryFileNameStart(name);
    setName(std::string(name.substr(0, split)), std::string(name.substr(split)));
}

void TZipHeaderInfo::setReadName(std::string stored) {
    // Not encoded again: a name that decodes to more than a header can hold is kept
    // for the reader to refuse that entry alone.
    const std::string name = WithForwardSlashes(DecodeEntryName(stored, Flags, VersionMadeBy));
    const std::size_t split = EntryFileNameStart(name);
    directory_ = name.substr(0, split);
    fileName_ = name.substr(split);
    NameLength = static_cast<std::uint16_t>(stored.size());
    storedName_ = std::move(stored);
}

void TZipHeaderInfo::SetComment(std::string_view text) {
    if (text.size() > kMaxCommentLength)
        throw Exception("Comment longer than 65535 bytes");
    comment_ = text.empty() ? std::nullopt : std::optional<std::string>(text);
    CommentLength = static_cast<std::uint16_t>(text.size());
}

bool TZipHeaderInfo::ReadCentralHeader(Stream& stream, const NextVolume& nextVolume) {
    Stream* s = &stream;
    const std::int64_t start = s->Position();
    std::array<std::uint8_t, kCentralHeaderFixed> h{};
    std::size_t got = s->Read(h.data(), h.size());
    bool switched = false;
    if (got < h.size() && nextVolume && startsWithSignature(h.data(), got, Signatures().Central)) {
        s = &nextVolume();
        switched = true;
        got += s->Read(h.data() + got, h.size() - got);
    }
    auto fail = [&] {
        if (!switched)
            stream.Seek(start, SeekOrigin::Begin);
        return false;
    };
    if (got < h.size() || GetLE32(h.data()) != Signatures().Central)
        return fail();
    const std::uint16_t nameLength = GetLE16(&h[28]);
    std::string name(nameLength, '\0');
    if (s->Read(name.data(), nameLength) != nameLength)
        return fail();
    VersionMadeBy = GetLE16(&h[4]);
    VersionNeeded = GetLE16(&h[6]);
    Flags = GetLE16(&h[8]);
    Method = GetLE16(&h[10]);
    DosDateTime = DosDateTimeClamp(GetLE32(&h[12]));
    Crc32 = GetLE32(&h[16]);
    CompressedSize = GetLE32(&h[20]);
    UncompressedSize = GetLE32(&h[24]);
    NameLength = nameLength;
    CentralExtraLength = GetLE16(&h[30]);
    CommentLength = GetLE16(&h[32]);
    DiskStart = GetLE16(&h[34]);
    InternalAttributes = GetLE16(&h[36]);
    ExternalAttributes = GetLE32(&h[38]);
    LocalOffset = GetLE32(&h[42]);
    CentralOffset = start;
    setReadName(std::move(name));
    comment_.reset();
    Matched = Selected = false;
    // The extra field may claim more than the stream holds: what is there is parsed,
    // and the stream goes where the lengths say, as for any header. The position is
    // worked out rather than asked for while the header lies on one volume.
    const std::int64_t extraStart =
        switched ? s->Position() : start + static_cast<std::int64_t>(h.size()) + nameLength;
    std::string extra(CentralExtraLength, '\0');
    extra.resize(s->Read(extra.data(), extra.size()));
    unixModified_ = ExtraFieldModified(extra);
    Zip64Extra = ExtraFieldHasZip64(extra);
    if (extra.size() != CentralExtraLength || CommentLength != 0)
        s->Seek(extraStart + CentralExtraLength + CommentLength, SeekOrigin::Begin);
    return true;
}

bool TZipHeaderInfo::ReadLocalHeader(Stream& stream) {
    const std::int64_t start = stream.Position();
    std::array<std::uint8_t, kLocalHeaderFixed> h{};
    if (stream.Read(h.data(), h.size()) != h.size() || GetLE32(h.data()) != Signatures().Local) {
        stream.Seek(start, SeekOrigin::Begin);
        return false;
    }
    const std::uint16_t nameLength = GetLE16(&h[26]);
    std::string name(nameLength, '\0');
    if (stream.Read(name.data(), nameLength) != nameLength) {
        stream.Seek(start, SeekOrigin::Begin);
        return false;
    }
    VersionMadeBy = 0;
    VersionNeeded = GetLE16(&h[4]);
    Flags = GetLE16(&h[6]);
    Method = GetLE16(&h[8]);
    DosDateTime = DosDateTimeClamp(GetLE32(&h[10]));
    Crc32 = GetLE32(&h[14]);
    CompressedSize = GetLE32(&h[18]);
    UncompressedSize = GetLE32(&h[22]);
    LocalExtraLength = GetLE16(&h[28]);
    CentralExtraLength = CommentLength = DiskStart = InternalAttributes = 0;
    ExternalAttributes = 0;
    LocalOffset = static_cast<std::uint32_t>(start);
    CentralOffset = 0;
    setReadName(std::move(name));
    comment_.reset();
    unixModified_.reset();
    Zip64Extra = Matched = Selected = false;
    return true;
}

bool TZipHeaderInfo::ReadLocalExtra(Stream& stream) {
    std::string extra(LocalExtraLength, '\0');
    if (stream.Read(extra.data(), extra.size()) != extra.size())
        return false;
    unixModified_ = ExtraFieldModified(extra);
    Zip64Extra = ExtraFieldHasZip64(extra);
    return true;
}

void TZipHeaderInfo::WriteCentralHeader(Stream& stream) {
    if (CommentLength != 0 && !comment_)
        throw Exception("The comment of " + FullName() + " is not loaded");
    const std::string name = encodeName();
    const std::string extra = ExtraField();
    CentralExtraLength = static_cast<std::uint16_t>(extra.size());
    std::array<std::uint8_t, kCentralHeaderFixed> h{};
    PutLE32(&h[0], Signatures().Central);
    PutLE16(&h[4], VersionMadeBy);
    PutLE16(&h[6], VersionNeeded);
    PutLE16(&h[8], Flags);
    PutLE16(&h[10], Method);
    PutLE32(&h[12], DosDateTime);
    PutLE32(&h[16], Crc32);
    PutLE32(&h[20], CompressedSize);
    PutLE32(&h[24], UncompressedSize);
    PutLE16(&h[28], NameLength);
    PutLE16(&h[30], CentralExtraLength);
    PutLE16(&h[32], CommentLength);
    PutLE16(&h[34], DiskStart);
    PutLE16(&h[36], InternalAttributes);
    PutLE32(&h[38], ExternalAttributes);
    PutLE32(&h[42], LocalOffset);
    stream.WriteBuffer(h.data(), h.size());
    stream.WriteBuffer(name.data(), name.size());
    stream.WriteBuffer(extra.data(), extra.size());
    if (CommentLength != 0)
        stream.WriteBuffer(comment_->data(), comment_->size());
}

void TZipHeaderInfo::WriteLocalHeader(Stream& stream) {
    const std::int64_t position = stream.Position();
    if (position < 0 || position > 0xFFFFFFFF)
        throw Exception("The archive would exceed 4 GiB, which the ZIP format cannot hold");
    LocalOffset = static_cast<std::uint32_t>(position);
    const std::string name = encodeName();
    const std::string extra = ExtraField();
    LocalExtraLength = static_cast<std::uint16_t>(extra.size());
    std::array<std::uint8_t, kLocalHeaderFixed> h{};
    PutLE32(&h[0], Signatures().Local);
    PutLE16(&h[4], VersionNeeded);
    PutLE16(&h[6], Flags);
    PutLE16(&h[8], Method);
    PutLE32(&h[10], DosDateTime);
    PutLE32(&h[14], Crc32);
    PutLE32(&h[18], CompressedSize);
    PutLE32(&h[22], UncompressedSize);
    PutLE16(&h[26], NameLength);
    PutLE16(&h[28], LocalExtraLength);
    stream.WriteBuffer(h.data(), h.size());
    stream.WriteBuffer(name.data(), name.size());
    stream.WriteBuffer(extra.data(), extra.size());
}

} // namespace kd
