// Asking OnStartZip about every file before any file is read.
#include <cerrno>
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
    claimed.Reserve(run.Items.size() + oldEntryCount(run));
    if (run.HasOldArchive && Directory())
        for (const auto& entry : *Directory())
            claimed.Insert(entry->FullName());
    unsigned asked = 0;
    const auto decide = [&](const std::string& item, std::size_t index, bool replacing) {
        if (item.empty() || item.back() == '/')
            return; // a directory entry is asked about in its turn: no file to read
        decideStart(run, item, index, replacing, claimed);
        if (cancel_ || ++asked % kPumpInterval == 0)
            ProcessMessagesAndCheckCancel();
    };
    // In the order the files go in: those replacing old entries first.
    for (const OldEntryDecision& decision : run.OldDecisions)
        if (!decision.Item.empty() && !decision.Keep)
            decide(decision.Item, decision.Index, true);
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        decide(run.Items[i], i, false);
}

void TZipWriter::decideStart(ZipWriterRun& run, const std::string& name, std::size_t index,
                             bool replacing, EntryNameSet& claimed) {
    StartDecision& decision = run.Starts[index];
    const auto leftOut = [&](StartDecision::Kind kind) {
        decision.What = kind;
        run.TotalBytes -= static_cast<std::int64_t>(run.ItemSizes[index].value_or(0));
    };
    struct stat st {};
    if (!run.Sources.Stat(name, st)) {
        if (errno == ENOENT || errno == ENOTDIR)
            leftOut(StartDecision::Kind::Gone);
        return; // otherwise its turn tells why it cannot be read
    }
    if (!S_ISREG(st.st_mode))
        return; // a FIFO or device, reported in its turn
    if (run.IsOwnFile(st.st_dev, st.st_ino))
        return leftOut(StartDecision::Kind::Gone);
    const StoredPath stored = storedNameOf(name);
    // A file replacing an old entry has that entry's name.
    if (!replacing && claimed.Contains(stored.FullName()))
        return;

    decision.Stamp = ArchiveAttribute::StampOf(st);
    decision.Made = SourceFields::Of(name, st, attributes_->IsSet(name));
    TZipHeaderInfo header;
    decision.Made.ApplyTo(header);
    header.UncompressedSize = static_cast<std::uint32_t>(st.st_size);
    header.InternalAttributes = 2; // text or binary: the compressor decides
    header.SetDirectory(stored.Directory);
    header.SetFileName(stored.FileName);
    bool skip = false;
    {
        const ShownModified shown(sourceModified_, st.st_mtim);
        OnStartZip(*this, name, header, skip);
    }
    if (skip || header.FullName().empty())
        return leftOut(StartDecision::Kind::Skipped);
    claimed.Insert(header.FullName());
    decision.What = StartDecision::Kind::Taken;
    decision.Header = std::make_shared<TZipHeaderInfo>(std::move(header));
}

} // namespace kd
