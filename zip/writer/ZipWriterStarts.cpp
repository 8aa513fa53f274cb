// Asking OnStartZip about every file before any file is read.
#include <sys/stat.h>

#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

namespace {

// The message queue is looked at after this many files (a cancel asked for in a
// handler is looked at after every file).
constexpr unsigned kPumpInterval = 256;

} // namespace

// What a question is asked with, used again for each file: a file skipped costs no
// new header or name.
struct StartQuestion {
    TZipHeaderInfo Header;
    StoredPath Name;
    std::string FullName;
    TakenFile State; // what the file's state gave the header, without the header
};

void TZipWriter::decideStarts(ZipWriterRun& run) {
    run.Starts.resize(run.Items.size());
    // Without a handler there is nothing to ask: each file is looked at in its turn.
    if (!OnStartZip)
        return;
    // The entry names the archive is to hold, for telling a file named twice: those of
    // the old archive and those of the files taken so far. A name found here already
    // is asked about in its turn, when it is known whether the entry holding it went
    // in after all.
    EntryNameSet claimed;
    if (run.HasOldArchive && Directory())
        for (const auto& entry : *Directory())
            claimed.Insert(entry->FullName());
    StartQuestion question;
    unsigned count = 0;
    // The files in the order they go in: those replacing old entries first. A
    // directory entry is asked about in its turn: it has no data to read.
    const auto ask = [&](const std::string& item, std::size_t index, bool replacing) {
        if (item.empty() || item.back() == '/')
            return;
        decideStart(run, item, index, replacing, claimed, question);
        if (cancel_ || ++count % kPumpInterval == 0)
            ProcessMessagesAndCheckCancel();
    };
    for (const OldEntryDecision& decision : run.OldDecisions)
        if (!decision.Keep)
            ask(decision.Item, decision.Index, true);
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        ask(run.Items[i], i, false);
}

void TZipWriter::decideStart(ZipWriterRun& run, const std::string& name, std::size_t index,
                             bool replacing, EntryNameSet& claimed, StartQuestion& question) {
    StartDecision& decision = run.Starts[index];
    const auto leftOut = [&](StartDecision::Kind kind) {
        decision.What = kind;
        run.TotalBytes -= static_cast<std::int64_t>(run.FoundSize(index));
    };
    const std::optional<FoundFile>& found = run.ItemStates[index];
    if (!found || !S_ISREG(found->Mode))
        return; // a FIFO or device, reported in its turn
    const FileStamp& stamp = found->Stamp;
    if (run.IsOwnFile(stamp.device, stamp.inode))
        return leftOut(StartDecision::Kind::Gone);
    const StoredPath& stored = question.Name;
    storedNameOf(name, question.Name);
    question.FullName.assign(stored.Directory).append(stored.FileName);
    // A file replacing an old entry has that entry's name.
    if (!replacing && claimed.Size() != 0 && claimed.Contains(question.FullName))
        return;

    TakenFile& state = question.State;
    state.Stamp = ArchiveAttribute::StampOf(stamp);
    // SkipIfArchiveBitNotSet took only files whose attribute is set.
    state.ArchiveKnown = skipIfArchiveBitNotSet_ || startZipSeesArchiveBit_;
    const bool archiveSet = skipIfArchiveBitNotSet_ || !startZipSeesArchiveBit_ ||
                            attributes_->IsSet(name, -1, state.Stamp);
    const timespec modified = ModificationTime(stamp);
    state.Made = SourceFields::Of(name, found->Mode, modified.tv_sec, archiveSet, run.LocalTimes);
    TZipHeaderInfo& asked = question.Header;
    asked.SetDefaults();
    state.Made.ApplyTo(asked);
    asked.UncompressedSize = static_cast<std::uint32_t>(stamp.size);
    asked.InternalAttributes = 2; // text or binary: the compressor decides
    // The name set in one piece, unless a "\" in the file name would split it elsewhere.
    if (stored.FileName.find('\\') == std::string::npos) {
        asked.SetFullName(question.FullName);
    } else {
        asked.SetDirectory(stored.Directory);
        asked.SetFileName(stored.FileName);
    }
    bool skip = false;
    {
        const ShownModified shown(sourceModified_, modified);
        OnStartZip(*this, name, asked, skip);
    }
    if (skip || (asked.Directory().empty() && asked.FileName().empty()))
        return leftOut(StartDecision::Kind::Skipped);
    claimed.Insert(asked.FullName());
    decision.What = StartDecision::Kind::Taken;
    decision.Taken = std::make_unique<TakenFile>(state);
    decision.Taken->Header = std::make_shared<TZipHeaderInfo>(asked);
}

} // namespace kd
