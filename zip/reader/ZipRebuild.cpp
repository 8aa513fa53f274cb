// Rebuilding a damaged directory from the local headers of a single archive.
#include <algorithm>
#include <functional>

#include "zip/reader/TZipReader.h"
#include "zip/reader/ZipRecordScan.h"

namespace kd {

bool TZipReader::RebuildDirectory() {
    if (rebuildTried_)
        return false;
    rebuildTried_ = true;
    rebuilt_ = true;
    sortedView_.reset();
    directory_.reset();
    Stream& s = *zipStream_;
    const std::function<void()> pump = [this] { ProcessMessagesAndCheckCancel(); };

    ZipRecordScan scan(s, pump);
    const auto first = scan.FirstLocalHeader();
    if (!first)
        return false;

    directory_ = std::make_unique<TSortedZip>(TDuplicates::Accept);
    s.Seek(*first, SeekOrigin::Begin);
    for (;;) {
        auto entry = std::make_shared<TZipHeaderInfo>();
        if (s.Position() > 0xFFFFFFFF || !entry->ReadLocalHeader(s))
            break;
        const std::int64_t dataStart = s.Position() + entry->LocalExtraLength;
        entry->ReadLocalExtra(s); // its time; the data start is known either way
        if (entry->Zip64Extra &&
            (entry->CompressedSize == 0xFFFFFFFF || entry->UncompressedSize == 0xFFFFFFFF))
            throw EZip64NotSupported("entry " + entry->FullName());
        std::int64_t next = dataStart + entry->CompressedSize;
        if (entry->HasDataDescriptor()) {
            // Written by a streaming archiver: CRC and sizes may be only in the
            // descriptor, whose place is unknown when the header left the size 0.
            const auto descriptor = entry->CompressedSize == 0
                                        ? scan.SearchDescriptor(dataStart)
                                        : scan.DescriptorAt(next, entry->CompressedSize);
            if (descriptor) {
                entry->Crc32 = descriptor->crc;
                entry->CompressedSize = descriptor->compressed;
                entry->UncompressedSize = descriptor->uncompressed;
                next = descriptor->next;
            } else if (entry->CompressedSize == 0) {
                break; // the data runs to the end of the file: the entry is cut off
            } else {
                next += 16;
            }
        }
        directory_->Add(entry);
        s.Seek(next, SeekOrigin::Begin);
        pump();
    }
    endCentral_.ThisDisk = 0;
    currentVolume_ = 0;
    endCentral_.CentralOffsetOnDisk = static_cast<std::uint32_t>(s.Position());
    endCentral_.TotalEntries = static_cast<std::uint16_t>(std::min(directory_->Count(), 0xFFFF));
    return !directory_->Empty();
}

} // namespace kd
