// Expanding FilesList into the files and directory entries to write.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "platform/CodePage.h"
#include "platform/TempFileBeside.h"
#include "zip/base/TDirSearch.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

namespace {

// True when name is one of the run's own archives (the same file, whatever it is
// called). Only a file of one of their sizes needs a look.
bool isOwnArchive(const ZipWriterRun& run, const std::string& name, std::uint64_t size) {
    const auto sized = [&](const std::optional<FileStamp>& id) {
        return id && static_cast<std::int64_t>(size) == id->size;
    };
    const bool candidate =
        sized(run.OldArchiveId) || sized(run.OutputId) ||
        std::any_of(run.OwnIds.begin(), run.OwnIds.end(), [&](const FileStamp& id) {
            return static_cast<std::int64_t>(size) == id.size;
        });
    if (!candidate)
        return false;
    const auto stamp = FileStampOf(name);
    return stamp && run.IsOwnFile(stamp->device, stamp->inode);
}

// The reason a name the search found cannot be stored.
TSkipReason reasonOf(const TSearchRec& rec) {
    return rec.Problem == TSearchProblem::Special ? TSkipReason::srSpecialFile
                                                  : unreadableReason(rec.Error, rec.IsDirectory);
}

std::string systemReason(int error) {
    return error ? std::strerror(error) : std::string();
}

} // namespace

std::string TZipWriter::resolve(const std::string& name) const {
    return ResolveName(name, RootDir());
}

StoredPath TZipWriter::storedNameOf(const std::string& name) const {
    StoredPath stored;
    storedNameOf(name, stored);
    return stored;
}

void TZipWriter::storedNameOf(std::string_view name, StoredPath& stored) const {
    StoredEntryName(name, {RootDir(), storePaths_, relativePaths_}, stored);
    // A file name that is not UTF-8 (a legacy encoding) is taken as Windows-1250,
    // as names of other archives are read, so that the entry name stays valid text.
    for (std::string* part : {&stored.Directory, &stored.FileName})
        if (!isValidUtf8(*part))
            *part = toUtf8(*part, CodePage::Cp1250);
}

void TZipWriter::expandFilesList(ZipWriterRun& run) {
    // Room for as many items as an archive holds entries: a large block whose pages
    // are touched only as items come, with no copying as they do.
    run.Items.reserve(kMaxZipEntries);
    run.ItemStates.reserve(kMaxZipEntries);
    std::vector<std::string> masks;
    for (const std::string& item : FilesList()) {
        if (item.empty())
            continue;
        if (item.back() == '/') {
            run.AddItem(resolve(item));
        } else if (HasWildcard(item)) {
            masks.push_back(item);
        } else {
            const std::string name = resolve(item);
            if (MatchesMaskList(excludeList_, name))
                continue;
            struct stat st {};
            if (::stat(name.c_str(), &st) != 0) {
                const int error = errno;
                if (error != ENOENT && error != ENOTDIR)
                    leaveOut(unreadableReason(error, false), name, systemReason(error));
                else if (OnNoSuchFile)
                    OnNoSuchFile(*this, name);
                continue;
            }
            if (S_ISDIR(st.st_mode)) {
                run.AddItem(name + "/"); // a directory named without its "/"
                continue;
            }
            const FoundFile found{FileStampOf(st), st.st_mode};
            if (wantedFile(run, name, found)) {
                run.AddItem(name, found);
                run.TotalBytes += found.Stamp.size;
            }
        }
    }
    for (const std::string& mask : masks)
        expandMask(run, mask);
}

void TZipWriter::expandMask(ZipWriterRun& run, const std::string& item) {
    const MaskItem mask = SplitMaskItem(item, recurse_);
    const std::string& base = mask.Directory.empty() ? RootDir() : mask.Directory;
    TDirSearch search(resolve(base.empty() ? "./" : base), mask.Recurse, mask.Mask);
    TSearchRec rec;
    for (unsigned found = 1; search.NextFile(rec); ++found) {
        if (found % 256 == 0)
            ProcessMessagesAndCheckCancel();
        if (rec.Problem != TSearchProblem::None) {
            if (rec.IsDirectory || !MatchesMaskList(excludeList_, rec.Name))
                leaveOut(reasonOf(rec), rec.Name, systemReason(rec.Error));
        } else if (rec.IsDirectory) {
            if (mask.Recurse && addDirEntriesOnRecurse_)
                run.AddItem(rec.Name);
        } else if (const FoundFile file{rec.Stamp, rec.Mode};
                   !MatchesMaskList(excludeList_, rec.Name) && wantedFile(run, rec.Name, file)) {
            run.AddItem(std::move(rec.Name), file);
            run.TotalBytes += file.Stamp.size;
        }
    }
}

bool TZipWriter::wantedFile(ZipWriterRun& run, const std::string& name, const FoundFile& found) {
    // Temporary files of this program (its own or a killed run's) are nobody's data.
    const auto slash = name.rfind('/');
    if (isOwnArchive(run, name, static_cast<std::uint64_t>(found.Stamp.size)) ||
        TempFileBeside::IsTempFileName(std::string_view(name).substr(slash + 1)))
        return false;
    if (skipIfArchiveBitNotSet_ &&
        !attributes_->IsSet(name, -1, ArchiveAttribute::StampOf(found.Stamp)))
        return false;
    // Freshening takes only files the old archive holds: none when there is none.
    return zipAction_ != TZipAction::zaFreshen || run.OldNames.count(storedNameOf(name).FullName());
}

} // namespace kd
