#include "zip/reader/ZipDirectoryReader.h"

#include <array>
#include <filesystem>

#include "zip/format/ZfcFile.h"
#include "zip/format/ZipRecords.h"
#include "zip/reader/TZipReader.h"

namespace kd {

namespace {

constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndFixed = 56;
constexpr std::uint32_t kMax32 = 0xFFFFFFFF;
constexpr std::uint16_t kMax16 = 0xFFFF;

bool isFile(const std::string& name) {
    std::error_code ec;
    return std::filesystem::is_regular_file(name, ec);
}

} // namespace

void ZipDirectoryReader::Read() {
    zip_.rebuilt_ = false;
    zip_.rebuildTried_ = false;
    zip_.RecordArchiveStamp();
    zip_.sortedView_.reset();
    zip_.directory_.reset();
    // A file that changed since the last read must not keep the old record's values.
    zip_.endCentral_.Clear();

    endFound_ = findEndRecord();
    if (endFound_) {
        rejectZip64End();
        zip_.currentVolume_ = side_ ? 0 : zip_.endCentral_.ThisDisk;
        decideMultiMode();
        positionAtDirectory();
    } else {
        handleMissingEndRecord();
    }
    if (!zip_.directory_)
        zip_.directory_ = std::make_unique<TSortedZip>(TDuplicates::Accept);
    readEntries();
    loadArchiveComment();
    if (side_)
        zip_.currentVolume_ = 0;
    zip_.SortDirectory(zip_.sortMode_);
}

Stream& ZipDirectoryReader::source() {
    return side_ ? static_cast<Stream&>(*side_) : static_cast<Stream&>(*zip_.zipStream_);
}

void ZipDirectoryReader::fail(const std::string& message) {
    zip_.ClearDirectory();
    throw EBadZipFile(message);
}

bool ZipDirectoryReader::findEndRecord() {
    if (zip_.endCentral_.FindAndReadEndRecord(*zip_.zipStream_))
        return true;
    const std::string sideName = ZfcFileName(zip_.zipName_);
    if (!isFile(sideName))
        return false;
    side_ = std::make_unique<TLFNFileStream>(sideName, TZipReader::FileBufferSize, false,
                                             FileOpenMode::Read);
    // An empty side file is no directory (it would count as an empty archive).
    if (side_->Size() > 0 && zip_.endCentral_.FindAndReadEndRecord(*side_))
        return true;
    side_.reset();
    zip_.endCentral_.Clear();
    return false;
}

void ZipDirectoryReader::rejectZip64End() {
    // Only a locator that points at a ZIP64 end record counts: the locator's signature
    // alone may be any bytes in front of the end record (a name, a comment), and fields
    // at their maximum without that record are damage, not ZIP64.
    const TEndCentral& end = zip_.endCentral_;
    const std::int64_t locator =
        end.CommentPosition - static_cast<std::int64_t>(kEndRecordFixed + kZip64LocatorSize);
    if (locator < static_cast<std::int64_t>(kZip64EndFixed))
        return;
    Stream& s = source();
    std::array<std::uint8_t, kZip64LocatorSize> loc{};
    s.Seek(locator, SeekOrigin::Begin);
    if (s.Read(loc.data(), loc.size()) != loc.size() ||
        GetLE32(loc.data()) != kZip64LocatorSignature)
        return;
    const std::uint64_t record = GetLE64(&loc[8]);
    if (record > static_cast<std::uint64_t>(locator) - kZip64EndFixed)
        return;
    std::array<std::uint8_t, 12> head{}; // signature and the size of the rest
    s.Seek(static_cast<std::int64_t>(record), SeekOrigin::Begin);
    if (s.Read(head.data(), head.size()) != head.size() ||
        GetLE32(head.data()) != kZip64EndSignature)
        return;
    const std::uint64_t rest = GetLE64(&head[4]);
    if (rest < kZip64EndFixed - head.size() ||
        rest > static_cast<std::uint64_t>(locator) - record - head.size())
        return;
    zip_.ClearDirectory();
    throw EZip64NotSupported("the archive has a ZIP64 end record");
}

void ZipDirectoryReader::decideMultiMode() {
    TMultiMode mode = TMultiMode::mmNone;
    if (zip_.endCentral_.ThisDisk != 0)
        mode =
            zip_.Volumes().isRemovable(zip_.zipName_) ? TMultiMode::mmSpan : TMultiMode::mmBlocks;
    zip_.SetMultiMode(mode);
}

void ZipDirectoryReader::positionAtDirectory() {
    const TEndCentral& end = zip_.endCentral_;
    if (end.TotalEntries == 0)
        return;
    if (!side_ && zip_.GetMultiMode() != TMultiMode::mmNone &&
        end.CentralDisk != zip_.currentVolume_)
        zip_.OpenVolume(end.CentralDisk + 1);
    source().Seek(side_ ? 0 : end.CentralOffsetOnDisk, SeekOrigin::Begin);
}

void ZipDirectoryReader::handleMissingEndRecord() {
    if (zip_.OnInCompleteZip)
        zip_.OnInCompleteZip(zip_, zip_.incompleteZipMode_);
    switch (zip_.incompleteZipMode_) {
    case TIncompleteZipMode::izAssumeNotAZip:
        throw ENotAZipFile();
    case TIncompleteZipMode::izAssumeMulti:
        throw EIncompleteZip();
    case TIncompleteZipMode::izAssumeBad:
        if (!rebuild()) {
            zip_.Ui().setBusyCursor(false);
            fail(kMsgNotValidZip);
        }
        break;
    }
}

bool ZipDirectoryReader::rebuild() {
    // The end record's offset of the central directory against where the scan finds
    // it: the length of a prefix (a self-extractor's stub) the offsets do not count.
    const std::int64_t statedOffset = zip_.endCentral_.CentralOffsetOnDisk;
    if (!zip_.RebuildDirectory())
        return false;
    const std::int64_t foundOffset = zip_.endCentral_.CentralOffsetOnDisk;
    prefixShift_ = endFound_ ? foundOffset - statedOffset : 0;
    merged_.clear();
    byData_.clear();
    for (const auto& entry : *zip_.directory_)
        byData_.emplace(std::tuple(entry->Crc32, entry->CompressedSize, entry->UncompressedSize),
                        entry.get());
    zip_.zipStream_->Seek(foundOffset, SeekOrigin::Begin);
    return true;
}

Stream& ZipDirectoryReader::nextVolume() {
    if (zip_.currentVolume_ >= zip_.endCentral_.ThisDisk)
        fail(std::string(kMsgNotValidZip) + " (its directory runs past the last part)");
    return zip_.OpenVolume(zip_.currentVolume_ + 2);
}

void ZipDirectoryReader::readEntries() {
    const bool multi = zip_.GetMultiMode() != TMultiMode::mmNone;
    const TZipHeaderInfo::NextVolume next = [this]() -> Stream& { return nextVolume(); };
    for (int r = 0; r < zip_.endCentral_.TotalEntries;) {
        auto entry = std::make_shared<TZipHeaderInfo>();
        const bool spans = !zip_.rebuilt_ && multi && !side_;
        if (entry->ReadCentralHeader(source(), spans ? next : TZipHeaderInfo::NextVolume{})) {
            ++r;
            if (zip_.rebuilt_) {
                mergeIntoRebuilt(*entry);
                continue;
            }
            rejectZip64Entry(*entry);
            // Entries that share a local header stay listed; extraction refuses them.
            zip_.directory_->Add(entry);
            if (zip_.endCentral_.ThisDisk != 0 && entry->HasComment())
                loadEntryComment(*entry);
            continue;
        }
        if (zip_.rebuilt_)
            break;
        if (multi || !rebuild())
            fail(kMsgNotValidZip);
        r = 0;
    }
}

void ZipDirectoryReader::rejectZip64Entry(const TZipHeaderInfo& entry) {
    if (!entry.Zip64Extra)
        return;
    if (entry.CompressedSize == kMax32 || entry.UncompressedSize == kMax32 ||
        entry.LocalOffset == kMax32 || entry.DiskStart == kMax16) {
        zip_.ClearDirectory();
        throw EZip64NotSupported("entry " + entry.FullName());
    }
}

TZipHeaderInfo* ZipDirectoryReader::unclaimedWithSameData(const TZipHeaderInfo& central) const {
    const auto [first, last] = byData_.equal_range(
        std::tuple(central.Crc32, central.CompressedSize, central.UncompressedSize));
    for (auto it = first; it != last; ++it)
        if (!merged_.contains(it->second))
            return it->second;
    return nullptr;
}

void ZipDirectoryReader::mergeIntoRebuilt(const TZipHeaderInfo& central) {
    auto own = std::make_shared<TZipHeaderInfo>(central);
    const std::int64_t offset = static_cast<std::int64_t>(central.LocalOffset) + prefixShift_;
    if (offset >= 0 && offset <= kMax32)
        own->LocalOffset = static_cast<std::uint32_t>(offset);
    int index = 0;
    TZipHeaderInfo* target = nullptr;
    if (zip_.directory_->Find(*own, index) && !merged_.contains(zip_.directory_->Get(index).get()))
        target = zip_.directory_->Get(index).get();
    else
        // Offsets that miss (a stub in front of an archive without its end record, a
        // damaged field) still find the local header of the same data.
        target = unclaimedWithSameData(central);
    if (!target) {
        // No local header for it, or its header is another record's: listed as it is,
        // so that extraction refuses it instead of its going missing.
        merged_.insert(own.get());
        zip_.directory_->Add(std::move(own));
        return;
    }
    merged_.insert(target);
    const std::uint32_t localOffset = target->LocalOffset;
    const std::uint16_t localExtra = target->LocalExtraLength;
    target->Assign(central);
    target->LocalOffset = localOffset;
    target->LocalExtraLength = localExtra;
}

void ZipDirectoryReader::loadEntryComment(TZipHeaderInfo& entry) {
    // The stream stands right behind the comment.
    Stream& s = source();
    const std::int64_t behind = s.Position();
    std::string text(entry.CommentLength, '\0');
    s.Seek(behind - entry.CommentLength, SeekOrigin::Begin);
    s.ReadBuffer(text.data(), text.size());
    entry.SetComment(text);
}

void ZipDirectoryReader::loadArchiveComment() {
    TEndCentral& end = zip_.endCentral_;
    if (end.ThisDisk == 0 || !end.HasComment())
        return;
    if (!side_ && zip_.currentVolume_ != end.ThisDisk)
        zip_.OpenVolume(end.ThisDisk + 1);
    Stream& s = source();
    std::string text(end.CommentLength, '\0');
    s.Seek(end.CommentPosition, SeekOrigin::Begin);
    s.ReadBuffer(text.data(), text.size());
    const bool modified = end.Modified;
    end.SetComment(text);
    end.Modified = modified;
}

} // namespace kd
