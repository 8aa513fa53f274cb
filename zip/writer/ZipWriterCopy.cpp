// Entries of the old archive: kept, replaced by a file, or copied unchanged.
#include "zip/writer/ZipWriterCopy.h"

#include <array>

#include "platform/FileOps.h"
#include "zip/base/ZipFiles.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/ZipRecords.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

namespace {

inline constexpr std::uint32_t kDescriptorSignature = 0x08074B50; // "PK\7\8"

// True when the entry is at least as new as the file: by the exact times when the
// entry has one (the DOS time of some tools is an hour off in summer), else by DOS
// times.
bool entryUpToDate(const TZipHeaderInfo& entry, const std::string& path) {
    if (entry.UnixModified())
        if (const auto modified = fileModificationTime(path))
            return *entry.UnixModified() >= *modified;
    return entry.DosDateTime >= FileDosDateTime(path);
}

// In a set's joined parts an entry's bytes end where the next record starts; when
// they do not, a part was changed or exchanged since the set was written and what
// was copied is not the entry.
void checkNextRecord(Stream& in, const TZipHeaderInfo& entry) {
    std::array<std::uint8_t, 4> next{};
    const bool record = in.Read(next.data(), next.size()) == next.size() &&
                        (GetLE32(next.data()) == Signatures().Local ||
                         GetLE32(next.data()) == Signatures().Central);
    if (!record)
        throw EBadZipFile(std::string(kMsgNotValidZip) + " (" + entry.FullName() +
                          " does not end where the next record starts: a part of the set "
                          "has changed)");
}

} // namespace

std::optional<std::string> ReadRawCentralHeader(Stream& archive, std::int64_t at,
                                                const TZipHeaderInfo& entry) {
    if (at < 0)
        return std::nullopt;
    std::array<std::uint8_t, kCentralHeaderFixed> h{};
    archive.Seek(at, SeekOrigin::Begin);
    if (archive.Read(h.data(), h.size()) != h.size() || GetLE32(h.data()) != Signatures().Central ||
        GetLE32(&h[42]) != entry.LocalOffset || GetLE16(&h[34]) != entry.DiskStart ||
        GetLE16(&h[28]) != entry.NameLength)
        return std::nullopt;
    const std::size_t rest = std::size_t{GetLE16(&h[28])} + GetLE16(&h[30]) + GetLE16(&h[32]);
    std::string raw(h.size() + rest, '\0');
    std::copy(h.begin(), h.end(), raw.begin());
    if (archive.Read(raw.data() + h.size(), rest) != rest)
        return std::nullopt;
    return raw;
}

std::vector<std::int64_t> CentralHeaderPositions(Stream& archive, std::int64_t start, int count) {
    std::vector<std::int64_t> positions(static_cast<std::size_t>(std::max(count, 0)), -1);
    std::array<std::uint8_t, kCentralHeaderFixed> h{};
    for (std::int64_t& position : positions) {
        archive.Seek(start, SeekOrigin::Begin);
        if (archive.Read(h.data(), h.size()) != h.size() ||
            GetLE32(h.data()) != Signatures().Central)
            break;
        position = start;
        start += static_cast<std::int64_t>(h.size()) + GetLE16(&h[28]) + GetLE16(&h[30]) +
                 GetLE16(&h[32]);
    }
    return positions;
}

void PatchCopiedCentralHeader(std::string& raw, const TZipHeaderInfo& entry) {
    auto* h = reinterpret_cast<std::uint8_t*>(raw.data());
    PutLE16(&h[34], entry.DiskStart);
    PutLE32(&h[42], entry.LocalOffset);
    if (entry.CommentLength != 0 && !entry.Comment())
        return; // the comment as it was
    const std::size_t keep = kCentralHeaderFixed + GetLE16(&h[28]) + GetLE16(&h[30]);
    const std::string comment = entry.CommentLength != 0 ? *entry.Comment() : std::string();
    PutLE16(&h[32], static_cast<std::uint16_t>(comment.size()));
    raw.resize(keep);
    raw += comment;
}

std::uint32_t DataDescriptorLength(Stream& archive, const TZipHeaderInfo& entry) {
    if (!entry.HasDataDescriptor())
        return 0;
    std::array<std::uint8_t, 16> d{};
    const std::size_t got = archive.Read(d.data(), d.size());
    const auto repeats = [&](std::size_t at) {
        return got >= at + 12 && GetLE32(&d[at]) == entry.Crc32 &&
               GetLE32(&d[at + 4]) == entry.CompressedSize &&
               GetLE32(&d[at + 8]) == entry.UncompressedSize;
    };
    const bool signature = got >= 4 && GetLE32(d.data()) == kDescriptorSignature;
    if (signature && repeats(4))
        return 16;
    if (repeats(0))
        return 12;
    return signature ? 16 : 12;
}

void TZipWriter::decideOldEntries(ZipWriterRun& run) {
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        run.ItemByName.emplace(storedNameOf(run.Items[i]).FullName(), i);
    const TSortedZip& directory = *Directory();
    run.OldDecisions.assign(static_cast<std::size_t>(directory.Count()), {});
    for (int i = 0; i < directory.Count(); ++i) {
        const std::shared_ptr<TZipHeaderInfo> entry = directory.Get(i);
        const auto found = run.ItemByName.find(entry->FullName());
        if (found == run.ItemByName.end() || run.Items[found->second].empty())
            continue;
        OldEntryDecision& decision = run.OldDecisions[static_cast<std::size_t>(i)];
        decision.Item = std::exchange(run.Items[found->second], std::string());
        decision.Index = found->second;
        const bool isDirectory = decision.Item.back() == '/';
        const std::string path =
            isDirectory ? decision.Item.substr(0, decision.Item.size() - 1) : decision.Item;
        decision.Keep = zipAction_ != TZipAction::zaReplace && entryUpToDate(*entry, path);
    }
}

void TZipWriter::processOldEntries(ZipWriterRun& run) {
    const TSortedZip& directory = *Directory();
    if (run.OldParts)
        run.OldCentralAt = CentralHeaderPositions(
            *run.OldParts,
            run.OldParts->Start(endCentral_.CentralDisk, endCentral_.CentralOffsetOnDisk),
            directory.Count());
    for (int i = 0; i < directory.Count(); ++i) {
        const std::shared_ptr<TZipHeaderInfo> entry = directory.Get(i);
        const OldEntryDecision& decision = run.OldDecisions[static_cast<std::size_t>(i)];
        if (!decision.Item.empty()) {
            const std::string& item = decision.Item;
            const bool isDirectory = item.back() == '/';
            if (decision.Keep) {
                const std::string path = isDirectory ? item.substr(0, item.size() - 1) : item;
                if (dispose_ && !isDirectory)
                    if (const auto stamp = ArchiveAttribute::StampOf(path))
                        run.DisposeList.push_back({path, *stamp});
                if (OnUpdate)
                    OnUpdate(*this, TUpdateAction::uaKeepEntry, i);
            } else {
                if (OnUpdate)
                    OnUpdate(*this, TUpdateAction::uaReplaceEntry, i);
                if (CompressOneFile(run, item, &run.Starts[decision.Index]))
                    continue;
                // The file could not be written: the archive keeps the old copy.
            }
        }
        copyOldEntry(run, i, *entry);
    }
}

void TZipWriter::copyOldEntry(ZipWriterRun& run, int index, const TZipHeaderInfo& entry) {
    // A set's parts are read as one stream, where the entry's bytes stand together.
    Stream& in = run.OldParts ? static_cast<Stream&>(*run.OldParts) : *zipStream_;
    const std::int64_t start = run.OldParts
                                   ? run.OldParts->Start(entry.DiskStart, entry.LocalOffset)
                                   : std::int64_t{entry.LocalOffset};
    const std::int64_t centralAt =
        run.OldParts ? run.OldCentralAt[static_cast<std::size_t>(index)] : entry.CentralOffset;
    std::array<std::uint8_t, kLocalHeaderFixed> local{};
    in.Seek(start, SeekOrigin::Begin);
    if (in.Read(local.data(), local.size()) != local.size() ||
        GetLE32(local.data()) != Signatures().Local)
        throw EBadZipFile(std::string(kMsgNotValidZip) + " (no local header for " +
                          entry.FullName() + ")");
    auto header = std::make_shared<TZipHeaderInfo>(entry);
    header->LocalExtraLength = GetLE16(&local[28]);

    // The local header, name, extra field and data as they are, with the data
    // descriptor when the entry has one.
    const std::uint64_t headerLength =
        std::uint64_t{kLocalHeaderFixed} + GetLE16(&local[26]) + header->LocalExtraLength;
    const auto dataEnd = static_cast<std::uint64_t>(start) + headerLength + entry.CompressedSize;
    in.Seek(static_cast<std::int64_t>(dataEnd), SeekOrigin::Begin);
    const std::uint64_t length =
        dataEnd - static_cast<std::uint64_t>(start) + DataDescriptorLength(in, entry);
    in.Seek(start, SeekOrigin::Begin);

    ZipWriterOutput& out = *run.Output;
    out.PlaceEntry(headerLength, length);
    header->DiskStart = static_cast<std::uint16_t>(currentVolume_);
    header->LocalOffset = static_cast<std::uint32_t>(out.Position());
    out.WriteData(in, length, [this](std::size_t) { ProcessMessagesAndCheckCancel(); });
    if (run.OldParts)
        checkNextRecord(in, entry);

    auto raw = ReadRawCentralHeader(in, centralAt, entry);
    if (!raw && header->HasComment() && !header->Comment())
        header->SetComment({}); // a comment the damaged directory no longer shows
    const TZipHeaderInfo* key = header.get();
    addEntry(run, std::move(header));
    if (raw)
        run.RawCentral.emplace(key, std::move(*raw));
}

} // namespace kd
