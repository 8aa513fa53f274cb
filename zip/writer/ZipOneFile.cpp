// Zipping one file or directory entry.
#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>

#include "platform/FileOps.h"
#include "zip/base/DosDateTime.h"
#include "zip/format/ZipRecords.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

namespace {

// A file that changes while it is read is read this many times before it is
// reported.
constexpr int kReadAttempts = 3;

std::uint32_t dosAttributes(const std::string& name, const struct stat& st, bool archive) {
    std::uint32_t attributes = 0;
    if (!(st.st_mode & S_IWUSR))
        attributes |= 0x01; // read-only
    const auto slash = name.rfind('/');
    if (name.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0)
        attributes |= 0x02; // hidden
    if (archive)
        attributes |= 0x20;
    return attributes;
}

// The entry is made on Unix: its Unix mode (type and permission bits) goes into the
// high 16 bits of the external attributes beside the DOS attributes, and its exact
// modification time into the extended timestamp field.
void recordUnixState(TZipHeaderInfo& header, const struct stat& st) {
    header.VersionMadeBy = kMadeByUnix;
    header.ExternalAttributes = (header.ExternalAttributes & 0xFFFF) |
                                static_cast<std::uint32_t>(st.st_mode & 0xFFFF) << 16;
    header.SetUnixModified(st.st_mtime);
}

// The file's last-write time as a DOS value, clamped (as the open stream gives it).
std::uint32_t dosDateOf(const struct stat& st) {
    return DosDateTimeClamp(UnixTimeToDosDateTime(st.st_mtime));
}

[[noreturn]] void refuseLargeFile(const std::string& name) {
    throw EZipTooLarge("The file " + name +
                       " is 4 GiB or larger, which a ZIP archive without ZIP64 cannot hold");
}

} // namespace

bool TZipWriter::CompressOneFile(ZipWriterRun& run, const std::string& name) {
    const bool written = !name.empty() && name.back() == '/' ? writeDirectoryEntry(run, name)
                                                             : writeFileEntry(run, name);
    if (written)
        ++run.FileCount;
    return written;
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
    const auto duplicate = [&] {
        if (!run.Names.Contains(header.FullName()))
            return false;
        bool retry = false;
        if (OnSkippingFile)
            OnSkippingFile(*this, TSkipReason::srFileExists, name, -1, retry);
        return true;
    };
    if (duplicate())
        return leaveOut();
    bool skip = false;
    if (OnStartZip)
        OnStartZip(*this, name, header, skip);
    // A name the handler changed is looked up again.
    const bool renamed = header.Directory() != directory || header.FileName() != fileName;
    if (skip || header.FullName().empty() || (renamed && duplicate()))
        return leaveOut();
    if (name.back() != '/')
        writeHeldDirectories(run, name);
    header.LocalOffset = static_cast<std::uint32_t>(run.Output->Position());
    header.DiskStart = static_cast<std::uint16_t>(currentVolume_);
    return true;
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
}

bool TZipWriter::writeDirectoryEntry(ZipWriterRun& run, const std::string& name) {
    auto header = std::make_shared<TZipHeaderInfo>();
    struct stat st {};
    if (::stat(name.substr(0, name.size() - 1).c_str(), &st) == 0) {
        header->DosDateTime = UnixTimeToDosDateTime(st.st_mtime);
        recordUnixState(*header, st);
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

bool TZipWriter::writeFileEntry(ZipWriterRun& run, const std::string& name) {
    // Data a worker made ahead comes with the state of the file it read: the file is
    // opened here only when there is none, or it turns out stale.
    std::unique_ptr<CompressedFile> made;
    if (run.Prefetch)
        made = run.Prefetch->Take(name, [this] { ProcessMessagesAndCheckCancel(); });
    std::unique_ptr<TLFNFileStream> source;
    struct stat st {};
    if (made) {
        st = made->Status;
    } else {
        source = openSource(name);
        if (!source || ::fstat(source->Handle(), &st) != 0)
            return false;
    }
    const auto expected = static_cast<std::uint64_t>(st.st_size);
    // The run owes nothing to the output: the old archive and the new one are
    // never their own input.
    if (run.IsOwnFile(st.st_dev, st.st_ino))
        return false;

    struct ModifiedShown {
        std::optional<timespec>& shown;
        ~ModifiedShown() { shown.reset(); }
    } modifiedShown{sourceModified_};
    sourceModified_ = st.st_mtim;

    auto header = std::make_shared<TZipHeaderInfo>();
    header->DosDateTime = dosDateOf(st);
    header->ExternalAttributes =
        dosAttributes(name, st, made ? made->ArchiveSet : attributes_->IsSet(name));
    recordUnixState(*header, st);
    header->UncompressedSize = static_cast<std::uint32_t>(expected);
    header->InternalAttributes = 2; // text or binary: the compressor decides
    if (!startEntry(run, name, *header, expected))
        return false;
    if (expected > kMaxZipSize)
        refuseLargeFile(name);
    // Data made for another storing rule (OnStartZip renamed the entry) is not used.
    if (made && made->StoredByRule != isStoredByRule(header->FileName()))
        made.reset();

    std::uint32_t fileDate = header->DosDateTime;
    for (int attempt = 1;; ++attempt) {
        // A file read again carries its new date, unless OnStartZip chose another (the
        // exact time then goes: it would contradict the chosen date). The first read
        // uses what was learnt before the entry started.
        if (!made && (attempt != 1 || !source)) {
            if (!source && !(source = openSource(name))) {
                run.TotalBytes -= static_cast<std::int64_t>(expected);
                return false; // gone since it was read ahead
            }
            if (::fstat(source->Handle(), &st) != 0)
                return false;
        }
        sourceModified_ = st.st_mtim;
        const std::uint32_t date = dosDateOf(st);
        if (header->DosDateTime == fileDate) {
            header->DosDateTime = date;
            header->SetUnixModified(st.st_mtime);
        } else {
            header->SetUnixModified(std::nullopt);
        }
        fileDate = date;
        const ArchiveStamp stamp = ArchiveAttribute::StampOf(st);
        if (static_cast<std::uint64_t>(stamp.size) > kMaxZipSize)
            refuseLargeFile(name);
        bool written = false;
        if (made) {
            std::unique_ptr<CompressedFile> data = std::exchange(made, nullptr);
            written = writePrefetchedData(run, *data, name, *header);
            run.Prefetch->Release(std::move(data));
        } else {
            written = writeFileData(run, *source, *header, stamp);
        }
        if (written) {
            if (dispose_)
                run.DisposeList.push_back({name, stamp});
            if (resetArchiveBitOnZip_)
                run.ResetList.push_back({name, stamp});
            break;
        }
        // The file changed while it was read: what was written for it is taken back.
        run.Output->Seek(header->LocalOffset);
        if (source)
            source->Seek(0, SeekOrigin::Begin);
        if (attempt < kReadAttempts)
            continue;
        if (!leaveOut(TSkipReason::srFileChanged, name, "")) {
            run.TotalBytes -= static_cast<std::int64_t>(expected);
            return false;
        }
        attempt = 0;
    }
    if (OnEndZip)
        OnEndZip(*this, name, header->UncompressedSize, header->CompressedSize,
                 run.Output->Position());
    addEntry(run, std::move(header));
    return true;
}

} // namespace kd
