// Zipping one file or directory entry.
#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>

#include "platform/FileOps.h"
#include "zip/base/DosDateTime.h"
#include "zip/writer/SourceFields.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

namespace {

// A file that changes while it is read is read this many times before it is
// reported.
constexpr int kReadAttempts = 3;

[[noreturn]] void refuseLargeFile(const std::string& name) {
    throw EZipTooLarge("The file " + name +
                       " is 4 GiB or larger, which a ZIP archive without ZIP64 cannot hold");
}

} // namespace

bool TZipWriter::CompressOneFile(ZipWriterRun& run, const std::string& name,
                                 StartDecision* decided) {
    const bool written = !name.empty() && name.back() == '/' ? writeDirectoryEntry(run, name)
                                                             : writeFileEntry(run, name, decided);
    if (written)
        ++run.FileCount;
    return written;
}

bool TZipWriter::nameTaken(ZipWriterRun& run, const std::string& name,
                           const TZipHeaderInfo& header) {
    if (!run.Names.Contains(header.FullName()))
        return false;
    bool retry = false;
    if (OnSkippingFile)
        OnSkippingFile(*this, TSkipReason::srFileExists, name, -1, retry);
    return true;
}

bool TZipWriter::startEntry(ZipWriterRun& run, const std::string& name, TZipHeaderInfo& header,
                            std::uint64_t size) {
    const StoredPath stored = storedNameOf(name);
    if (stored.FullName().empty())
        return false; // a directory entry without a name (no paths stored)
    header.SetDirectory(stored.Directory);
    header.SetFileName(stored.FileName);
    const std::string directory = header.Directory(), fileName = header.FileName();
    const auto leaveOut = [&] {
        run.TotalBytes -= static_cast<std::int64_t>(size);
        return false;
    };
    if (nameTaken(run, name, header))
        return leaveOut();
    bool skip = false;
    if (OnStartZip)
        OnStartZip(*this, name, header, skip);
    // A name the handler changed is looked up again.
    const bool renamed = header.Directory() != directory || header.FileName() != fileName;
    if (skip || header.FullName().empty() || (renamed && nameTaken(run, name, header)))
        return leaveOut();
    placeEntry(run, name, header);
    return true;
}

void TZipWriter::placeEntry(ZipWriterRun& run, const std::string& name, TZipHeaderInfo& header) {
    if (name.back() != '/')
        writeHeldDirectories(run, name);
    header.LocalOffset = static_cast<std::uint32_t>(run.Output->Position());
    header.DiskStart = static_cast<std::uint16_t>(currentVolume_);
}

void TZipWriter::holdDirectoryEntries(ZipWriterRun& run) const {
    if (!dirEntriesOnlyWithFiles_)
        return;
    // A directory the old archive holds is kept or replaced there, as any entry.
    std::unordered_set<std::string> oldNames;
    if (run.HasOldArchive && Directory())
        for (const auto& entry : *Directory())
            oldNames.insert(entry->FullName());
    for (std::string& item : run.Items)
        if (!item.empty() && item.back() == '/' && !oldNames.count(storedNameOf(item).FullName()))
            run.HeldDirectories.insert(std::exchange(item, std::string()));
}

void TZipWriter::writeHeldDirectories(ZipWriterRun& run, const std::string& file) {
    // A directory's events show no file's time.
    const std::optional<timespec> shown = std::exchange(sourceModified_, std::nullopt);
    // Outer directories first, each entry before the entries inside it.
    for (std::size_t slash = file.find('/');
         slash != std::string::npos && !run.HeldDirectories.empty();
         slash = file.find('/', slash + 1)) {
        const auto held = run.HeldDirectories.find(file.substr(0, slash + 1));
        if (held == run.HeldDirectories.end())
            continue;
        const std::string directory = *held;
        run.HeldDirectories.erase(held);
        CompressOneFile(run, directory);
    }
    sourceModified_ = shown;
}

bool TZipWriter::writeDirectoryEntry(ZipWriterRun& run, const std::string& name) {
    auto header = std::make_shared<TZipHeaderInfo>();
    struct stat st {};
    if (::stat(name.substr(0, name.size() - 1).c_str(), &st) == 0) {
        header->DosDateTime = UnixTimeToDosDateTime(st.st_mtime);
        RecordUnixState(*header, st);
    } else {
        header->DosDateTime = UnixTimeToDosDateTime(
            std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
    }
    header->Crc32 = 0;
    header->Method = 0;
    header->InternalAttributes = 0;
    if (!startEntry(run, name, *header, 0))
        return false;
    run.Output->WriteLocalHeader(*header);
    if (OnEndZip)
        OnEndZip(*this, name, 0, 0, 0);
    addEntry(run, std::move(header));
    return true;
}

bool TZipWriter::leaveOut(TSkipReason reason, const std::string& name, std::string detail) {
    bool retry = false;
    skipDetail_ = std::move(detail);
    if (OnSkippingFile)
        OnSkippingFile(*this, reason, name, -1, retry);
    skipDetail_.clear();
    return retry;
}

std::unique_ptr<TLFNFileStream> TZipWriter::openSource(const std::string& name) {
    for (;;) {
        TSkipReason reason = TSkipReason::srOpenFailed;
        std::string detail;
        struct stat st {};
        if (::stat(name.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                return nullptr; // vanished meanwhile: left out without a word
            reason = unreadableReason(errno, false);
            detail = std::strerror(errno);
        } else if (!S_ISREG(st.st_mode)) {
            // Opening a FIFO or a device could block or never end.
            reason = TSkipReason::srSpecialFile;
        } else {
            try {
                return std::make_unique<TLFNFileStream>(name, FileBufferSize, false,
                                                        FileOpenMode::Read);
            } catch (const EFOpenError&) {
                detail = std::strerror(errno);
            }
        }
        if (!leaveOut(reason, name, std::move(detail)))
            return nullptr;
    }
}

bool TZipWriter::writeFileEntry(ZipWriterRun& run, const std::string& name,
                                StartDecision* decided) {
    if (decided && decided->LeftOut())
        return false;
    ShownModified shown(sourceModified_);
    FileTurn turn;
    const bool ready = decided && decided->What == StartDecision::Kind::Taken
                           ? takeDecided(run, name, *decided, turn, shown)
                           : askInTurn(run, name, turn, shown);
    if (!ready) {
        if (turn.Made)
            run.Prefetch->Release(std::move(turn.Made));
        return false;
    }
    return writeTurn(run, name, turn, shown);
}

bool TZipWriter::startTurn(ZipWriterRun& run, const std::string& name, FileTurn& turn) {
    // Data a worker made ahead comes with the state of the file it read. In its turn
    // the file must still be as it was then, as the calling thread alone would find
    // it on opening it now: data of a file changed since is made again here, and a
    // file deleted since is left out.
    if (run.Prefetch)
        turn.Made = run.Prefetch->Take(name, [this] { ProcessMessagesAndCheckCancel(); });
    if (turn.Made) {
        struct stat now {};
        if (!run.Sources.Stat(name, now)) {
            if (errno == ENOENT || errno == ENOTDIR)
                return false;
            run.Prefetch->Release(std::move(turn.Made)); // the open reports why
        } else if (!(ArchiveAttribute::StampOf(now) == turn.Made->Stamp)) {
            run.Prefetch->Release(std::move(turn.Made));
        }
    }
    if (turn.Made) {
        turn.Status = turn.Made->Status;
    } else {
        turn.Source = openSource(name);
        if (!turn.Source || ::fstat(turn.Source->Handle(), &turn.Status) != 0)
            return false;
    }
    // The run owes nothing to the output: the old archive and the new one are never
    // their own input.
    return !run.IsOwnFile(turn.Status.st_dev, turn.Status.st_ino);
}

bool TZipWriter::takeDecided(ZipWriterRun& run, const std::string& name, StartDecision& decided,
                             FileTurn& turn, ShownModified& shown) {
    if (!startTurn(run, name, turn))
        return false;
    // The archive attribute is looked at again only for a file changed since, or not
    // looked at before.
    const TakenFile& taken = *decided.Taken;
    const ArchiveStamp stamp = ArchiveAttribute::StampOf(turn.Status);
    const bool archiveSet = stamp == taken.Stamp && taken.ArchiveKnown ? taken.Made.ArchiveSet()
                            : turn.Made                                ? turn.Made->ArchiveSet
                                        : attributes_->IsSet(name, -1, stamp);
    turn.Fields = SourceFields::Of(name, turn.Status, archiveSet);
    turn.Header = std::move(decided.Taken->Header);
    TZipHeaderInfo& header = *turn.Header;
    taken.Made.MoveTo(header, turn.Fields);
    header.UncompressedSize = static_cast<std::uint32_t>(turn.Status.st_size);
    if (nameTaken(run, name, header)) {
        run.TotalBytes -= static_cast<std::int64_t>(turn.Status.st_size);
        return false;
    }
    placeEntry(run, name, header);
    shown.Show(turn.Status.st_mtim);
    return true;
}

bool TZipWriter::askInTurn(ZipWriterRun& run, const std::string& name, FileTurn& turn,
                           ShownModified& shown) {
    if (!startTurn(run, name, turn))
        return false;
    shown.Show(turn.Status.st_mtim);
    turn.Fields = SourceFields::Of(name, turn.Status,
                                   turn.Made ? turn.Made->ArchiveSet : attributes_->IsSet(name));
    turn.Header = std::make_shared<TZipHeaderInfo>();
    TZipHeaderInfo& header = *turn.Header;
    turn.Fields.ApplyTo(header);
    header.UncompressedSize = static_cast<std::uint32_t>(turn.Status.st_size);
    header.InternalAttributes = 2; // text or binary: the compressor decides
    if (!startEntry(run, name, header, static_cast<std::uint64_t>(turn.Status.st_size)))
        return false;
    // A date the handler chose stands without the file's exact time.
    turn.Fields.MoveTo(header, turn.Fields);
    return true;
}

bool TZipWriter::writeTurn(ZipWriterRun& run, const std::string& name, FileTurn& turn,
                           ShownModified& shown) {
    TZipHeaderInfo& header = *turn.Header;
    struct stat& st = turn.Status;
    const auto expected = static_cast<std::uint64_t>(st.st_size);
    if (expected > kMaxZipSize)
        refuseLargeFile(name);
    // Data made for another storing rule (OnStartZip renamed the entry) is not used.
    if (turn.Made && turn.Made->StoredByRule != isStoredByRule(header.FileName()))
        run.Prefetch->Release(std::move(turn.Made));

    bool firstRead = true;
    for (int attempt = 1;; ++attempt, firstRead = false) {
        // A file read again carries its new state, in the fields the handler did not
        // choose. The first read uses what was learnt before the entry started.
        if (!turn.Made && (!firstRead || !turn.Source)) {
            if (!turn.Source && !(turn.Source = openSource(name))) {
                run.TotalBytes -= static_cast<std::int64_t>(expected);
                return false; // gone since it was read ahead
            }
            if (::fstat(turn.Source->Handle(), &st) != 0)
                return false;
            const SourceFields fresh = SourceFields::Of(name, st, attributes_->IsSet(name));
            turn.Fields.MoveTo(header, fresh);
            turn.Fields = fresh;
        }
        shown.Show(st.st_mtim);
        const ArchiveStamp stamp = ArchiveAttribute::StampOf(st);
        if (static_cast<std::uint64_t>(stamp.size) > kMaxZipSize)
            refuseLargeFile(name);
        header.UncompressedSize = static_cast<std::uint32_t>(stamp.size);
        bool written = false;
        if (turn.Made) {
            std::unique_ptr<CompressedFile> data = std::move(turn.Made);
            written = writePrefetchedData(run, *data, name, header);
            run.Prefetch->Release(std::move(data));
        } else {
            written = writeFileData(run, *turn.Source, header, stamp);
        }
        if (written) {
            if (dispose_)
                run.DisposeList.push_back({name, stamp});
            if (resetArchiveBitOnZip_)
                run.ResetList.push_back({name, stamp});
            break;
        }
        // The file changed while it was read: what was written for it is taken back.
        run.Output->Seek(header.LocalOffset);
        if (turn.Source)
            turn.Source->Seek(0, SeekOrigin::Begin);
        if (attempt < kReadAttempts)
            continue;
        if (!leaveOut(TSkipReason::srFileChanged, name, "")) {
            run.TotalBytes -= static_cast<std::int64_t>(expected);
            return false;
        }
        attempt = 0;
    }
    if (OnEndZip)
        OnEndZip(*this, name, header.UncompressedSize, header.CompressedSize,
                 run.Output->Position());
    addEntry(run, std::move(turn.Header));
    return true;
}

} // namespace kd
