// Asking OnStartZip about every file before any file is read.
#include <cerrno>
#include <sys/stat.h>

#include "zip/writer/SourceStates.h"
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
    // The files in the order they go in: those replacing old entries first. A
    // directory entry is asked about in its turn: it has no data to read.
    struct Asked {
        const std::string* Name;
        std::size_t Index;
        bool Replacing;
    };
    std::vector<Asked> order;
    std::vector<const std::string*> paths;
    const auto ask = [&](const std::string& item, std::size_t index, bool replacing) {
        if (!item.empty() && item.back() != '/') {
            order.push_back({&item, index, replacing});
            paths.push_back(&item);
        }
    };
    for (const OldEntryDecision& decision : run.OldDecisions)
        if (!decision.Keep)
            ask(decision.Item, decision.Index, true);
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        ask(run.Items[i], i, false);
    SourceStates states(std::move(paths), threads_, *attributes_);

    // The entry names the archive is to hold, for telling a file named twice: those of
    // the old archive and those of the files taken so far. A name found here already
    // is asked about in its turn, when it is known whether the entry holding it went
    // in after all.
    EntryNameSet claimed;
    if (run.HasOldArchive && Directory())
        for (const auto& entry : *Directory())
            claimed.Insert(entry->FullName());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const Asked& asked = order[k];
        decideStart(run, *asked.Name, asked.Index, asked.Replacing, states.Get(k), claimed);
        if (cancel_ || (k + 1) % kPumpInterval == 0)
            ProcessMessagesAndCheckCancel();
    }
}

void TZipWriter::decideStart(ZipWriterRun& run, const std::string& name, std::size_t index,
                             bool replacing, const SourceState& state, EntryNameSet& claimed) {
    StartDecision& decision = run.Starts[index];
    const auto leftOut = [&](StartDecision::Kind kind) {
        decision.What = kind;
        run.TotalBytes -= static_cast<std::int64_t>(run.ItemSizes[index].value_or(0));
    };
    const struct stat& st = state.Status;
    if (state.Error != 0) {
        if (state.Error == ENOENT || state.Error == ENOTDIR)
            leftOut(StartDecision::Kind::Gone);
        return; // otherwise its turn tells why it cannot be read
    }
    if (!S_ISREG(st.st_mode))
        return; // a FIFO or device, reported in its turn
    if (run.IsOwnFile(st.st_dev, st.st_ino))
        return leftOut(StartDecision::Kind::Gone);
    const StoredPath stored = storedNameOf(name);
    // A file replacing an old entry has that entry's name.
    if (!replacing && claimed.Size() != 0 && claimed.Contains(stored.FullName()))
        return;

    decision.Stamp = ArchiveAttribute::StampOf(st);
    decision.Made = SourceFields::Of(name, st, state.ArchiveSet);
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
