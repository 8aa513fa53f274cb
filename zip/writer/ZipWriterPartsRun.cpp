// Runs that write an archive in several parts: numbered part files or spanned disks.
#include <filesystem>

#include "platform/TempFileBeside.h"
#include "zip/format/ZfcFile.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterPartsNumbered.h"
#include "zip/writer/ZipWriterRun.h"
#include "zip/writer/ZipWriterSpan.h"

namespace kd {

namespace {

constexpr const char* kTextCantCreateZfc = "Unable to create Zip Configuration File to disk";
constexpr const char* kTextCantSaveZfc = "Unable to save Zip Configuration File to disk";

// The bytes the ".zfc" file is expected to need on the first disk: a rough size of
// each central header, the end record and the comment.
std::int64_t directoryFileEstimate(int files, bool storePaths, std::size_t commentLength) {
    return std::int64_t{files} * (storePaths ? 83 : 58) + static_cast<std::int64_t>(commentLength) +
           2070;
}

// The file that holds the directory of an old set under zipName: the archive's own
// name (a set of one part), else the last of its numbered parts; empty when neither
// exists.
std::string oldSetDirectoryFile(const std::string& zipName) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(zipName, ec))
        return zipName;
    std::string last;
    for (int n = 1; n < 0xFFFF; ++n) {
        std::string part = PartFileName(zipName, n);
        if (!std::filesystem::is_regular_file(part, ec))
            break;
        last = std::move(part);
    }
    return last;
}

} // namespace

void TZipWriter::openOldPartSet(ZipWriterRun& run) {
    const std::string target = ZipName();
    const std::string found = oldSetDirectoryFile(target);
    if (found.empty())
        return;
    // Reading sets the mode the set found has (none for one part) and the volume it
    // ended on; the run keeps its own mode and name and writes from its first part.
    const TMultiMode mode = GetMultiMode();
    const auto restore = [&] {
        AssignZipName(target);
        SetMultiMode(mode);
        currentVolume_ = 0;
    };
    try {
        AssignZipName(found);
        OpenZipFile();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    run.HasOldArchive = true;
    if (found == target && endCentral_.ThisDisk == 0) {
        run.OldArchiveId = FileStampOf(found);
        return;
    }
    CloseArchive();
    // Only the last part of a set holds the end record: numbered parts that end
    // without one, or before a gap, are not a whole set.
    if (endCentral_.ThisDisk == 0 || found != PartFileName(target, endCentral_.ThisDisk + 1))
        throw EBadZipFile("The multi-part archive " + target + " is incomplete: " + found +
                          " is not its last part");
    run.OldParts = std::make_unique<OldPartSet>(target, endCentral_.ThisDisk + 1);
    const auto& ids = run.OldParts->Identities();
    run.OwnIds.insert(run.OwnIds.end(), ids.begin(), ids.end());
}

void TZipWriter::startParts(ZipWriterRun& run) {
    const TMultiZipInfo& info = multiZipInfo_;
    if (GetMultiMode() == TMultiMode::mmBlocks) {
        run.Output = std::make_unique<ZipWriterPartsNumbered>(ZipName(), info.FirstBlockSize(),
                                                              info.BlockSize());
    } else {
        // What the first disk keeps free is worked out for this run alone.
        std::int64_t reserve = info.SaveOnFirstDisk();
        if (info.SaveZipInfoOnFirstDisk()) {
            int files = 0;
            for (const std::string& item : run.Items)
                files += item.empty() ? 0 : 1;
            reserve += directoryFileEstimate(files, storePaths_, run.End.CommentLength);
        }
        ZipWriterSpan::Events events;
        events.GetNextDisk = [this](int n, std::string& name) {
            if (OnGetNextDisk)
                OnGetNextDisk(*this, n, name);
            else
                PromptNextDisk(n, name);
            if (std::exchange(cancel_, false))
                name.clear();
        };
        events.PrepareNextDisk = [this](int n) {
            if (OnPrepareNextDisk)
                OnPrepareNextDisk(*this, n);
        };
        run.Output = std::make_unique<ZipWriterSpan>(ZipName(), reserve, info.WriteDiskLabels(),
                                                     Volumes(), std::move(events));
    }
    run.Parts = static_cast<ZipWriterParts*>(run.Output.get());
    run.Parts->OnNewPart = [this, &run](int part) {
        currentVolume_ = part;
        run.End.EntriesOnDisk = 0;
    };
    run.OutputId = run.Output->Identity();
    run.Spool = std::make_unique<ZipWriterSpool>(TemporaryDirectory(tempPath_));
    // Every byte is handled twice: compressed into the data file, then copied.
    run.TotalBytes *= 2;
}

void TZipWriter::writeSpooledEntry(ZipWriterRun& run, TZipHeaderInfo& header) {
    ZipWriterParts& parts = *run.Parts;
    parts.WriteLocalHeader(header);
    const std::uint64_t dataSize = run.Spool->Size();
    const std::int64_t uncompressed = header.UncompressedSize;
    // The copy counts the data's bytes, not the file's, a second time.
    run.TotalBytes -= uncompressed - static_cast<std::int64_t>(dataSize);
    std::int64_t copied = 0;
    parts.WriteData(run.Spool->Rewind(), dataSize, [&](std::size_t chunk) {
        copied += static_cast<std::int64_t>(chunk);
        run.DoneBytes += static_cast<std::int64_t>(chunk);
        if (OnFilePercentDone)
            OnFilePercentDone(*this, Percent(uncompressed + copied,
                                             uncompressed + static_cast<std::int64_t>(dataSize)));
        if (OnTotalPercentDone)
            OnTotalPercentDone(*this, Percent(run.DoneBytes, run.TotalBytes));
        ProcessMessagesAndCheckCancel();
    });
}

void TZipWriter::finishParts(ZipWriterRun& run) {
    if (OnTotalPercentDone)
        OnTotalPercentDone(*this, 100);
    if (multiZipInfo_.SaveZipInfoOnFirstDisk() && run.End.ThisDisk > 0) {
        SaveDirectoryFile(run.End);
    } else {
        // A directory file beside the archive would describe an older set.
        std::error_code ec;
        std::filesystem::remove(ZfcFileName(ZipName()), ec);
    }
}

void TZipWriter::SaveDirectoryFile(const TEndCentral& end) {
    const auto fail = [this](const char* text) {
        Ui().setBusyCursor(false);
        Ui().messageBox(text, "Error", MsgButtons::Ok, MsgIcon::Error);
    };
    Ui().setBusyCursor(true);
    if (GetMultiMode() == TMultiMode::mmSpan) {
        // The file goes on the first disk.
        try {
            OpenVolume(1);
            CloseArchive();
        } catch (const Exception&) {
            return fail(kTextCantCreateZfc);
        }
        // The older archive the first part replaced was kept on that disk until the run
        // was past it.
        sweepStaleTemporaryFiles(false);
    }
    const std::string name = ZfcFileName(ZipName());
    std::unique_ptr<TempFileBeside> temp;
    try {
        temp = std::make_unique<TempFileBeside>(name, 0600);
    } catch (const Exception&) {
        return fail(kTextCantCreateZfc);
    }
    try {
        TLFNFileStream stream(temp->DupFd(), name, FileBufferSize, FlushFilesOnClose());
        WriteZfcFile(stream, *directory_, end);
        stream.Close();
        temp->Publish();
    } catch (const Exception&) {
        return fail(kTextCantSaveZfc);
    }
    Ui().setBusyCursor(false);
}

} // namespace kd
