#pragma once
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/ArchiveAttribute.h"
#include "platform/FileStamp.h"
#include "platform/LocalTimeCache.h"
#include "platform/SiblingStat.h"
#include "zip/base/TLFNFileStream.h"
#include "zip/deflate/Deflater.h"
#include "zip/format/TEndCentral.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZipCrypt.h"
#include "zip/reader/ZipReaderTypes.h"
#include "zip/writer/CompressedFile.h"
#include "zip/writer/EntryNameSet.h"
#include "zip/writer/EntryPrefetch.h"
#include "zip/writer/OldPartSet.h"
#include "zip/writer/SourceFields.h"
#include "zip/writer/StartDecision.h"
#include "zip/writer/ZipWriterOutput.h"
#include "zip/writer/ZipWriterParts.h"
#include "zip/writer/ZipWriterSpool.h"

namespace kd {

// A file whose archive attribute is reset, or which is deleted, once the archive is
// in place, with the stamp it had when it was decided on: a file changed since then
// is left alone.
struct PendingFile {
    std::string Name;
    ArchiveStamp Stamp;
};

// What becomes of an old entry: the item that keeps or replaces it (none: copied).
struct OldEntryDecision {
    std::string Item;
    std::size_t Index = 0; // where the item stood in Items
    bool Keep = false;
};

// Why a file or directory that could not be read (errno error) is left out.
inline TSkipReason unreadableReason(int error, bool directory) {
    if (error == ENAMETOOLONG)
        return TSkipReason::srPathTooLong;
    return directory ? TSkipReason::srUnreadableDir : TSkipReason::srOpenFailed;
}

// Shows a file's last-write time through SourceModified() while it lives.
class ShownModified {
public:
    explicit ShownModified(std::optional<timespec>& shown) : shown_(shown) {}
    ShownModified(std::optional<timespec>& shown, const timespec& modified) : shown_(shown) {
        shown_ = modified;
    }
    ~ShownModified() { shown_.reset(); }
    ShownModified(const ShownModified&) = delete;
    ShownModified& operator=(const ShownModified&) = delete;
    void Show(const timespec& modified) { shown_ = modified; }

private:
    std::optional<timespec>& shown_;
};

// A file as the run found it when it expanded FilesList: which file it is, its size
// and exact time, and its type and permission bits.
struct FoundFile {
    FileStamp Stamp;
    std::uint32_t Mode = 0;
};

// A file in its turn: what its entry is made from (the open file, or the data a
// worker made from it), the state it is in, and the header it goes in under with the
// fields that state gave it.
struct FileTurn {
    std::unique_ptr<TLFNFileStream> Source;
    std::unique_ptr<CompressedFile> Made;
    struct stat Status {};
    std::shared_ptr<TZipHeaderInfo> Header;
    SourceFields Fields;
};

// The state of one AddFilesToArchive run.
struct ZipWriterRun {
    // FilesList after expansion; an item taken by an old entry is cleared (emptied).
    std::vector<std::string> Items;
    // Beside each item, the file as it was found (none for a directory).
    std::vector<std::optional<FoundFile>> ItemStates;
    // Beside each item, what OnStartZip decided for it before anything was read.
    std::vector<StartDecision> Starts;
    // Stored name -> first item with that name, for matching old entries.
    std::unordered_map<std::string, std::size_t> ItemByName;
    // The names of the old archive opened by this run, for zaFreshen.
    std::unordered_set<std::string> OldNames;
    // Per old entry (stored order), decided before anything is written.
    std::vector<OldEntryDecision> OldDecisions;
    // The files' entry data made ahead on worker threads (several threads only).
    std::unique_ptr<EntryPrefetch> Prefetch;
    // Directory entries (items) written only once a file inside them is.
    std::unordered_set<std::string> HeldDirectories;

    std::unique_ptr<ZipWriterOutput> Output;
    // Multi-part output: the Output as parts, and the entries' temporary data file.
    ZipWriterParts* Parts = nullptr;
    std::unique_ptr<ZipWriterSpool> Spool;
    // The old archive, the new one and the caller's own archives: never input.
    std::optional<FileStamp> OldArchiveId, OutputId;
    std::vector<FileStamp> OwnIds;
    bool HasOldArchive = false;
    // The old archive when it is a set of numbered parts (its entries are copied from
    // there), and where each old entry's central header lies in it.
    std::unique_ptr<OldPartSet> OldParts;
    std::vector<std::int64_t> OldCentralAt;

    // The new directory in the order written, the names in it (letter case counts),
    // and the central header bytes of entries copied from the old archive.
    std::vector<std::shared_ptr<TZipHeaderInfo>> Written;
    EntryNameSet Names;
    std::unordered_map<const TZipHeaderInfo*, std::string> RawCentral;
    TEndCentral End;

    std::int64_t TotalBytes = 0;
    std::int64_t DoneBytes = 0;
    int FileCount = 0;
    std::vector<PendingFile> DisposeList;
    std::vector<PendingFile> ResetList;

    // Looks at the files written, one directory after another.
    SiblingStat Sources;
    // The local times of the files' dates, on the calling thread.
    LocalTimeCache LocalTimes;

    // The entry being written.
    Deflater Compressor;
    ZipCrypt Cipher;
    std::uint32_t Crc = 0;
    std::int64_t EntryBytesSinceCheck = 0;
    std::vector<std::uint8_t> Scratch = std::vector<std::uint8_t>(65536);
    std::vector<std::uint8_t> CipherBuffer = std::vector<std::uint8_t>(65536);

    void AddItem(std::string item, std::optional<FoundFile> found = std::nullopt) {
        Items.push_back(std::move(item));
        ItemStates.push_back(found);
    }
    // The size a file had when it was found (0 for a directory).
    std::uint64_t FoundSize(std::size_t index) const {
        const auto& found = ItemStates[index];
        return found ? static_cast<std::uint64_t>(found->Stamp.size) : 0;
    }

    // True when the file of this device and inode is one of the archives above.
    bool IsOwnFile(std::uint64_t device, std::uint64_t inode) const {
        const auto same = [&](const FileStamp& id) {
            return id.device == device && id.inode == inode;
        };
        return (OldArchiveId && same(*OldArchiveId)) || (OutputId && same(*OutputId)) ||
               std::any_of(OwnIds.begin(), OwnIds.end(), same);
    }
};

} // namespace kd
