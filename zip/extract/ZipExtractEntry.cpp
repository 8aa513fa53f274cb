// Extracting one entry: target, events, overwrite mode, and the outcome.
#include <sys/stat.h>

#include "zip/base/ZipFiles.h"
#include "zip/extract/EntryAttributes.h"
#include "zip/extract/ExtractTempFile.h"
#include "zip/extract/OverwriteRule.h"
#include "zip/extract/ZipExtract.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

constexpr const char* kRefusedName = "Refused a name leading outside the destination";
constexpr unsigned kMethodAes = 99; // WinZip AES: the real method is in its extra field
constexpr std::size_t kShownNameBytes = 200;

// A name fit for a message: long ones cut at a character boundary, with their length.
std::string shownName(const std::string& name) {
    if (name.size() <= kShownNameBytes)
        return name;
    std::size_t cut = kShownNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut) + "... (" + std::to_string(name.size()) + " bytes)";
}

// WinZip AES: an encrypted entry whose real method is in its extra field. Method 99
// without encryption is just a method unknown here.
bool isAes(const TZipHeaderInfo& entry) {
    return entry.Method == kMethodAes && entry.IsEncrypted();
}

} // namespace

bool ZipExtractor::decodableAhead(const TZipHeaderInfo& entry) {
    return !entry.FileName().empty() && entry.FullName().size() <= kMaxNameLength &&
           !entry.IsEncrypted() && Decompressor::IsSupported(entry.Method);
}

void ZipExtractor::extractOneEntry(int index) {
    retry_ = false;
    zip_.extractedStamp_.reset();
    zip_.scratchEntry_ = *zip_.EntryPtr(index);
    TZipHeaderInfo& entry = zip_.scratchEntry_;
    if (entry.FullName().size() > kMaxNameLength) {
        skip(index, TSkipReason::srRefusedEntry, shownName(entry.FullName()),
             "The name is longer than " + std::to_string(kMaxNameLength) + " bytes",
             TExtractProblem::NameTooLong);
        return;
    }
    if (entry.FileName().empty()) {
        extractDirectoryEntry(index, entry);
        return;
    }
    try {
        extractFile(index, entry);
    } catch (const EDamagedEntry& damage) {
        damaged(index, entry, damage);
    }
}

void ZipExtractor::damaged(int index, const TZipHeaderInfo& entry, const EDamagedEntry& damage) {
    switch (damage.Problem()) {
    case TExtractProblem::ReadFailed:
    case TExtractProblem::WriteFailed:
        skip(index, TSkipReason::srReadWriteFailed, entry.FullName(), damage.what(),
             damage.Problem());
        return;
    case TExtractProblem::Overlapping:
        skip(index, TSkipReason::srRefusedEntry, entry.FullName(), damage.what(), damage.Problem());
        return;
    default:
        badData(index, entry, 0, damage.what(), false);
    }
}

void ZipExtractor::extractDirectoryEntry(int index, TZipHeaderInfo& entry) {
    if (zip_.RecreateDirs()) {
        const auto path = MakeExtractPath(entry.FullName(), zip_.RootDir(), true);
        if (!path) {
            skip(index, TSkipReason::srUnsafePath, entry.FullName(), kRefusedName);
            return;
        }
        if (NamesNothing(entry.FullName())) {
            skip(index, TSkipReason::srRefusedEntry, entry.FullName(),
                 "The name names no file or directory");
            return;
        }
        if (!spanned()) {
            // Where the directory's local header cannot be read, its central time does.
            try {
                entry.TakeLocalTime(locateData(entry).modified);
            } catch (const Exception&) {
            }
        }
        const std::string shown = path->JoinedTo(destShown_);
        const auto target = openTarget(index, *path, shown, shown);
        if (!target)
            return;
        warmAhead(*target, *path);
        directories_.Add(index, entry.FullName(), *path,
                         zip_.RetainAttributes() ? StoredPermissions(entry) : std::nullopt,
                         EntryModifiedTime(entry));
    }
    ++extracted_;
}

void ZipExtractor::extractFile(int index, TZipHeaderInfo& entry) {
    const std::string stored = entry.FullName();
    zip_.ProcessMessagesAndCheckCancel();
    // Checked before anything else, so that no password is asked and no file touched.
    if (isAes(entry)) {
        skip(index, TSkipReason::srUnknownMethod, stored, "AES encryption is not supported",
             TExtractProblem::AesEncrypted);
        return;
    }
    if (!Decompressor::IsSupported(entry.Method)) {
        skip(index, TSkipReason::srUnknownMethod, stored,
             std::string(kTextUnknownMethod) + " " + std::to_string(entry.Method));
        return;
    }
    const auto path = MakeExtractPath(stored, zip_.RootDir(), zip_.RecreateDirs());
    if (!path) {
        skip(index, TSkipReason::srUnsafePath, stored, kRefusedName);
        return;
    }
    Job* job = takeJob(index);
    std::optional<LocalHeader> located = job ? jobData(*job) : std::nullopt;
    if (!located)
        job = nullptr;
    const LocalHeader local = located ? *located : locateData(entry);
    const DataStart& data = local.data;
    entry.TakeLocalTime(local.modified);
    const std::string proposed = path->JoinedTo(destShown_);
    std::string fName = proposed;
    bool skipIt = false;
    if (zip_.OnStartUnZip)
        zip_.OnStartUnZip(zip_, index, fName, skipIt);
    if (skipIt)
        return;
    auto target = openTarget(index, *path, proposed, fName);
    if (!target)
        return;
    if (fName == proposed)
        warmAhead(*target, *path);
    std::vector<std::string> passwords{std::string()};
    if (entry.IsEncrypted()) {
        auto checked = checkPassword(index, entry, data);
        if (!checked) {
            skip(index, TSkipReason::srBadPassword, stored, "Wrong password");
            return;
        }
        passwords = std::move(*checked);
    }
    std::optional<ExtractTarget::Existing> existing;
    // A file decoded ahead goes in at once where no file has its name, as it would
    // after a look that found none: a link never replaces a file, so where one has
    // the name nothing changes, and the target is looked at and decided on as ever.
    if (job && fName == proposed) {
        sweepOnce(*target);
        const JobEnd end = finishJob(index, entry, *job, *target, true, existing, true);
        if (end == JobEnd::Done)
            return;
        if (end == JobEnd::Itself)
            job = nullptr;
    }
    if (!mayWrite(index, entry, target, existing))
        return;
    sweepOnce(*target);
    if (job && finishJob(index, entry, *job, *target, fName == proposed, existing) == JobEnd::Done)
        return;
    std::optional<ExtractTempFile> temp;
    try {
        temp.emplace(*target, closeCheck_.MayFail(target->Dir()), placedMode(entry, existing));
    } catch (const ECreateTargetFailed& e) {
        skip(index, TSkipReason::srCreateFailed, target->Path(), e.what());
        return;
    }
    Decoded decoded;
    for (std::size_t k = 0; k < passwords.size(); ++k) {
        if (k > 0) {
            try {
                temp->Restart();
            } catch (const ECantWriteUCF& e) {
                throw EDamagedEntry(e.what(), TExtractProblem::WriteFailed);
            }
        }
        decoded = decode(entry, data, passwords[k], *temp, target->Path());
        if (decoded.problem.empty())
            break;
    }
    finishDecoded(index, entry, temp, *target, existing, decoded);
}

void ZipExtractor::finishDecoded(int index, const TZipHeaderInfo& entry,
                                 std::optional<ExtractTempFile>& temp, const ExtractTarget& target,
                                 const std::optional<ExtractTarget::Existing>& existing,
                                 const Decoded& decoded) {
    if (!decoded.problem.empty()) {
        temp.reset();
        badData(index, entry, decoded.crc, decoded.problem, entry.IsEncrypted());
        return;
    }
    reportPlaced(index, target, place(*temp, entry, existing, placeSettings()));
}

std::optional<ExtractTarget> ZipExtractor::openTarget(int index, const ExtractPath& path,
                                                      const std::string& proposed,
                                                      const std::string& fName) {
    try {
        if (fName == proposed)
            return ExtractTarget::Below(walked_, dest_->get(), destShown_, path);
        return ExtractTarget::At(fName);
    } catch (const EUnsafePath& e) {
        skip(index, TSkipReason::srUnsafePath, fName, e.what());
    } catch (const ECreateTargetFailed& e) {
        skip(index, TSkipReason::srCreateFailed, fName, e.what());
    }
    return std::nullopt;
}

bool ZipExtractor::mayWrite(int index, const TZipHeaderInfo& entry,
                            std::optional<ExtractTarget>& target,
                            std::optional<ExtractTarget::Existing>& existing) {
    existing = target->Look();
    if (!existing)
        return true;
    const OverwriteAnswer answer = AnswerOfMode(zip_.OverwriteMode(), entry, *existing);
    bool overwrite = answer == OverwriteAnswer::Replace;
    if (answer == OverwriteAnswer::Ask) {
        try {
            overwrite = promptOverwrite(index, entry, target);
            if (overwrite)
                existing = target->Look(); // the handler may have moved or changed it
        } catch (const ECreateTargetFailed& e) {
            skip(index, TSkipReason::srCreateFailed, target->Path(), e.what());
            return false;
        }
    }
    if (!overwrite) {
        skip(index, TSkipReason::srFileExists, target->Path(), "");
        return false;
    }
    if (existing && KeptAsReadOnly(*existing, zip_.ReplaceReadOnly())) {
        skip(index, TSkipReason::srCreateFailed, target->Path(),
             "The file " + target->Path() + " is read-only");
        return false;
    }
    return true;
}

bool ZipExtractor::promptOverwrite(int index, const TZipHeaderInfo& entry,
                                   std::optional<ExtractTarget>& target) {
    if (!zip_.OnPromptForOverwrite) {
        const std::string text = std::string(kTextReplaceExisting) + entry.FileName() + "?";
        return zip_.Ui().messageBox(text, std::string(kTextFileExistsAlert), MsgButtons::YesNo,
                                    MsgIcon::Question) == MsgAnswer::Yes;
    }
    bool overwrite = false;
    std::string fName = target->Path();
    zip_.OnPromptForOverwrite(zip_, overwrite, index, fName);
    if (overwrite && fName != target->Path())
        target.emplace(ExtractTarget::At(fName));
    return overwrite;
}

ZipExtractor::Placed ZipExtractor::place(ExtractTempFile& temp, const TZipHeaderInfo& entry,
                                         const std::optional<ExtractTarget::Existing>& existing,
                                         const PlaceSettings& settings) {
    // A file replaced keeps its permissions unless the entry brings its own.
    const mode_t mode = ExtractedFileMode(entry, existing ? existing->fileMode : std::nullopt,
                                          settings.retainAttributes, settings.newFileMode);
    Placed placed;
    try {
        placed.stamp = temp.Commit(EntryModifiedTime(entry), mode, settings.flush);
        placed.done = true;
    } catch (const ECreateTargetFailed& e) {
        placed.problem = e.what();
        placed.reason = TSkipReason::srCreateFailed;
    } catch (const ECantWriteUCF& e) {
        placed.problem = e.what();
        placed.reason = TSkipReason::srReadWriteFailed;
        placed.kind = TExtractProblem::WriteFailed;
    }
    return placed;
}

mode_t ZipExtractor::placedMode(const TZipHeaderInfo& entry,
                                const std::optional<ExtractTarget::Existing>& existing) const {
    return ExtractedFileMode(entry, existing ? existing->fileMode : std::nullopt,
                             zip_.RetainAttributes(), newFileMode_);
}

ZipExtractor::PlaceSettings ZipExtractor::placeSettings() const {
    return {zip_.RetainAttributes(), newFileMode_, zip_.FlushFilesOnClose(), zip_.OverwriteMode(),
            zip_.ReplaceReadOnly()};
}

void ZipExtractor::reportPlaced(int index, const ExtractTarget& target, const Placed& placed) {
    if (!placed.done) {
        skip(index, placed.reason, target.Path(), placed.problem, placed.kind);
        return;
    }
    zip_.extractedStamp_ = placed.stamp;
    if (zip_.OnEndUnZip)
        zip_.OnEndUnZip(zip_, index, target.Path());
    ++extracted_;
}

void ZipExtractor::sweepOnce(const ExtractTarget& target) {
    if (target.Dir() == lastSwept_)
        return; // the same open directory as the last file's
    lastSwept_ = target.Dir();
    // A directory this run made holds no file of an earlier run.
    struct stat st {};
    if (::fstat(target.DirFd(), &st) == 0 && swept_.emplace(st.st_dev, st.st_ino).second &&
        !walked_.Made(st.st_dev, st.st_ino))
        TempFileBeside::SweepStale(target.DirFd());
}

void ZipExtractor::skip(int index, TSkipReason reason, const std::string& fName,
                        const std::string& problem, TExtractProblem kind) {
    bool retry = false; // not consulted
    if (zip_.OnSkippingFile)
        zip_.OnSkippingFile(zip_, reason, fName, index, retry);
    zip_.totalBytes_ -= zip_.scratchEntry_.UncompressedSize;
    if (reason != TSkipReason::srFileExists)
        recordFailure(index, problem, kind);
}

void ZipExtractor::badData(int index, const TZipHeaderInfo& entry, std::uint32_t crc,
                           const std::string& problem, bool passwordMayBeWrong) {
    if (passwordMayBeWrong) {
        if (askNewPassword(index)) {
            retry_ = true;
            return;
        }
        skip(index, TSkipReason::srBadPassword, entry.FullName(),
             "Wrong password or damaged data: " + problem);
        return;
    }
    if (zip_.OnBadCRC)
        zip_.OnBadCRC(zip_, crc, entry.Crc32, index);
    recordFailure(index, problem);
}

void ZipExtractor::recordFailure(int index, const std::string& problem, TExtractProblem kind) {
    zip_.extractFailures_.push_back(
        {index, shownName(zip_.scratchEntry_.FullName()), problem, kind});
}

bool ZipExtractor::askNewPassword(int index) {
    if (!zip_.OnBadPassword)
        return false;
    std::string password = zip_.Password();
    zip_.OnBadPassword(zip_, index, password);
    if (password == zip_.Password())
        return false;
    zip_.SetPassword(password);
    return true;
}

} // namespace kd
