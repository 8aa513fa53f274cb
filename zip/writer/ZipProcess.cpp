// The zip process: the body of AddFilesToArchive.
#include <algorithm>
#include <filesystem>
#include <thread>
#include <unordered_set>

#include "platform/TempFileBeside.h"
#include "platform/Trim.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterCopy.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

int TZipWriter::ProcessArchiveUpdate() {
    if (trimBlanks(ZipName()).empty())
        return 0;
    const TZipSortMode sortMode = SortMode();
    const bool keepZipOpen = KeepZipOpen();
    const auto restore = [&] {
        SetKeepZipOpen(keepZipOpen);
        CloseArchive();
        FilesList().clear();
        SortDirectory(sortMode);
    };
    try {
        cancel_ = false;
        currentVolume_ = 0;
        SetKeepZipOpen(true);
        SortDirectory(TZipSortMode::ByNone);
        ZipWriterRun run; // its output file goes with it unless the run put it in place
        runProcess(run);
        restore();
        return run.FileCount;
    } catch (...) {
        restore();
        throw;
    }
}

void TZipWriter::runProcess(ZipWriterRun& run) {
    emptyArchiveSkipped_ = false;
    for (const std::string& own : ownArchives_)
        if (const auto id = FileStampOf(own))
            run.OwnIds.push_back(*id);
    const bool parts = GetMultiMode() != TMultiMode::mmNone;
    sweepStaleTemporaryFiles(parts);
    std::error_code ec;
    if (!parts && std::filesystem::exists(ZipName(), ec)) {
        OpenZipFile();
        checkOldArchive();
        run.HasOldArchive = true;
        run.OldArchiveId = FileStampOf(ZipName());
    }
    // Numbered parts carry the old set's entries over; spanned disks are written
    // afresh (the old set is on the disks the new one goes to).
    if (GetMultiMode() == TMultiMode::mmBlocks && !writeSetAfresh_)
        openOldPartSet(run);
    // The directory read just now: one left in memory by an earlier run may describe
    // an archive deleted since.
    if (run.HasOldArchive && zipAction_ == TZipAction::zaFreshen && Directory())
        for (const auto& entry : *Directory())
            run.OldNames.insert(entry->FullName());
    if (!parts) {
        run.Output = std::make_unique<ZipWriterOutput>(ZipName(), maxArchiveSize_);
        run.OutputId = run.Output->Identity();
    }

    expandFilesList(run);
    holdDirectoryEntries(run);
    refuseTooManyEntries(run);
    run.Names.Reserve(run.Items.size() + oldEntryCount(run));
    // The end record first: the first part keeps room for its comment.
    if (run.HasOldArchive || endCentral_.Modified) {
        GetArchiveComment(); // loads it
        run.End.Assign(endCentral_);
        run.End.EntriesOnDisk = run.End.TotalEntries = 0;
    }
    run.End.Modified = false;
    if (parts)
        startParts(run);

    if (run.HasOldArchive) {
        if (!run.OldParts)
            OpenZipFile(); // loading the comment may have closed it
        decideOldEntries(run);
    }
    decideStarts(run);
    startPrefetch(run);
    if (run.HasOldArchive)
        processOldEntries(run);

    // The files still to write: those OnStartZip left out are out of the count.
    int remaining = 0;
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        remaining += run.Items[i].empty() || run.Starts[i].LeftOut() ? 0 : 1;
    if (remaining > 0 && OnStartZipInfo) {
        bool stopNow = false;
        OnStartZipInfo(*this, remaining, run.TotalBytes, run.End, stopNow);
        if (stopNow)
            throw EUserCanceled(kMsgCanceledZip);
    }
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        if (!run.Items[i].empty())
            CompressOneFile(run, run.Items[i], &run.Starts[i]);

    const bool noFiles =
        std::none_of(run.Written.begin(), run.Written.end(),
                     [](const auto& header) { return !header->FileName().empty(); });
    if (skipEmptyArchive_ && noFiles) {
        emptyArchiveSkipped_ = true;
        return; // the output goes with the run; an existing archive stays as it was
    }
    writeCentralDirectory(run);
    finishRun(run);
}

void TZipWriter::sweepStaleTemporaryFiles(bool parts) const {
    // What killed runs left beside the archive; a multi-part run also leaves its data
    // file in the temporary directory.
    const std::string dir = std::filesystem::path(ZipName()).parent_path().string();
    TempFileBeside::SweepStale(dir.empty() ? std::string(".") : dir);
    if (parts)
        TempFileBeside::SweepStale(TemporaryDirectory(tempPath_));
}

void TZipWriter::checkOldArchive() const {
    if (endCentral_.ThisDisk != 0)
        throw EZipNotSupported("The archive " + ZipName() +
                               " has several parts; it is updated only as numbered parts");
}

int TZipWriter::defaultThreads() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void TZipWriter::tooManyEntries() const {
    throw EZipTooLarge("The archive " + ZipName() +
                       " would hold more than 65535 entries, which a ZIP archive without "
                       "ZIP64 cannot hold");
}

std::size_t TZipWriter::oldEntryCount(const ZipWriterRun& run) const {
    return run.HasOldArchive && Directory() ? static_cast<std::size_t>(Directory()->Count()) : 0;
}

void TZipWriter::refuseTooManyEntries(const ZipWriterRun& run) const {
    // Every old entry stays (kept, replaced or copied) and every item not among them
    // is added; only a file left out while the run writes makes the count smaller.
    // The names are compared only when the items and old entries together could
    // pass the limit.
    const std::size_t old = oldEntryCount(run);
    const auto items = std::count_if(run.Items.begin(), run.Items.end(),
                                     [](const std::string& item) { return !item.empty(); });
    if (static_cast<std::int64_t>(old) + items <= maxEntries_)
        return;
    std::unordered_set<std::string> names;
    if (run.HasOldArchive && Directory())
        for (const auto& entry : *Directory())
            names.insert(entry->FullName());
    for (const std::string& item : run.Items)
        if (!item.empty())
            names.insert(storedNameOf(item).FullName());
    if (static_cast<std::int64_t>(names.size()) > maxEntries_)
        tooManyEntries();
}

void TZipWriter::startPrefetch(ZipWriterRun& run) {
    if (threads_ <= 1)
        return;
    std::vector<CompressJob> plan;
    const auto add = [&](const std::string& item, std::size_t index) {
        if (item.empty() || item.back() == '/' || !run.ItemStates[index])
            return;
        // Only files OnStartZip took are read ahead, with the name it gave them; with
        // no handler to ask, every file.
        const StartDecision& start = run.Starts[index];
        std::uint64_t size = run.FoundSize(index);
        std::string fileName;
        if (start.What == StartDecision::Kind::Taken) {
            size = static_cast<std::uint64_t>(start.Taken->Stamp.size);
            fileName = start.Taken->Header->FileName();
        } else if (start.What != StartDecision::Kind::Undecided || OnStartZip) {
            return;
        } else if (!noCompressList_.empty()) {
            fileName = storedNameOf(item).FileName; // worked out only when a mask may take it
        }
        plan.push_back({item, size, packLevel_, isStoredByRule(fileName), threads_, plan.size()});
    };
    // The files replacing old entries come first, in the order of those entries.
    for (const OldEntryDecision& decision : run.OldDecisions)
        if (!decision.Keep)
            add(decision.Item, decision.Index);
    for (std::size_t i = 0; i < run.Items.size(); ++i)
        add(run.Items[i], i);
    if (!plan.empty())
        run.Prefetch = std::make_unique<EntryPrefetch>(std::move(plan), threads_, memoryInFlight_,
                                                       *attributes_);
}

void TZipWriter::addEntry(ZipWriterRun& run, std::shared_ptr<TZipHeaderInfo> header) {
    if (static_cast<int>(run.Written.size()) >= maxEntries_)
        tooManyEntries();
    // Two old entries of the same name cannot both be kept.
    if (!run.Names.Insert(header->FullName()))
        throw EListError("Duplicate Object index");
    run.Written.push_back(std::move(header));
    ++run.End.EntriesOnDisk;
    ++run.End.TotalEntries;
}

void TZipWriter::writeCentralDirectory(ZipWriterRun& run) {
    ZipWriterOutput& out = *run.Output;
    // The directory starts where its first header goes, which may be a new part.
    bool started = false;
    const auto markStart = [&] {
        started = true;
        run.End.CentralOffsetOnDisk = static_cast<std::uint32_t>(out.Position());
        run.End.CentralDisk = static_cast<std::uint16_t>(currentVolume_);
    };
    std::uint64_t size = 0;
    for (const auto& header : run.Written) {
        const auto raw = run.RawCentral.find(header.get());
        if (raw != run.RawCentral.end())
            PatchCopiedCentralHeader(raw->second, *header);
        else
            // A fresh header carries only its own extra field.
            header->CentralExtraLength = static_cast<std::uint16_t>(header->ExtraField().size());
        const std::uint64_t length =
            raw != run.RawCentral.end() ? raw->second.size() : header->CentralHeaderSize();
        // The end record keeps the last header company: other tools reject a set
        // whose last part holds nothing but the end record.
        const bool last = header == run.Written.back();
        out.CheckRoom(last ? length + run.End.EndRecordSize() : length);
        if (!started)
            markStart();
        header->CentralOffset = out.Position();
        if (raw != run.RawCentral.end())
            out.Write(raw->second.data(), raw->second.size());
        else
            header->WriteCentralHeader(out.Out());
        size += length;
    }
    if (!started)
        markStart();
    run.End.CentralSize = static_cast<std::uint32_t>(size);
    out.CheckRoom(run.End.EndRecordSize());
    run.End.ThisDisk = static_cast<std::uint16_t>(currentVolume_);
    run.End.CommentPosition = out.Position() + 22;
    run.End.WriteEndRecord(out.Out());
}

void TZipWriter::finishRun(ZipWriterRun& run) {
    run.OldParts.reset();
    run.Output->Commit();
    if (run.Parts)
        AssignZipName(run.Parts->ArchiveName());

    // The new archive is in place: its directory becomes the component's.
    CloseArchive();
    auto directory = std::make_unique<TSortedZip>(TDuplicates::Error);
    for (const auto& header : run.Written)
        directory->Add(header);
    sortedView_.reset();
    directory_ = std::move(directory);
    endCentral_.Assign(run.End);
    endCentral_.Modified = false;
    rebuilt_ = false;
    currentVolume_ = run.End.ThisDisk;
    recordedStamp_ = FileStampOf(ZipName());

    for (const PendingFile& file : run.ResetList)
        attributes_->Reset(file.Name, file.Stamp);
    try {
        attributes_->Flush();
    } catch (const std::exception&) {
        // The attributes stay set: the files are taken again next time.
    }
    for (const PendingFile& file : run.DisposeList) {
        bool skip = false;
        if (OnDisposeFile)
            OnDisposeFile(*this, file.Name, skip);
        // A file changed since it was archived is not the archived file any more.
        if (!skip && ArchiveAttribute::StampOf(file.Name) == file.Stamp) {
            std::error_code ec;
            std::filesystem::remove(file.Name, ec);
        }
    }
    if (run.Parts)
        finishParts(run);
}

} // namespace kd
