// The extraction run: choosing the entries and the frame around them.
#include "zip/extract/ZipExtract.h"

#include <filesystem>

namespace kd {

namespace {

// Restores a flag of the reader when the run ends, however it ends.
struct RestoreFlag {
    bool& flag;
    bool value;
    ~RestoreFlag() { flag = value; }
};

} // namespace

int TZipReader::ExtractArchive() {
    if (destDir_ == "?")
        return 0;
    const RestoreFlag clearCancel{cancel_, false};
    cancel_ = false;
    OpenZipFile();
    const int count = ZipExtractor(*this).Run();
    CloseZipFile();
    return count;
}

int TZipReader::ExtractSelectedEntries() {
    const RestoreFlag endSelected{selectedOnly_, false};
    selectedOnly_ = true;
    return ExtractArchive();
}

int ZipExtractor::Run() {
    const RestoreFlag keepOpen{zip_.keepZipOpen_, zip_.keepZipOpen_};
    zip_.keepZipOpen_ = true;
    zip_.cancel_ = false;
    zip_.extractFailures_.clear();
    try {
        extractChosen();
        stopWorkers();
    } catch (...) {
        stopWorkers();
        try {
            finishDirectories(false);
        } catch (...) {
            // The run's own failure is the one to report.
        }
        finishRun();
        throw;
    }
    finishDirectories(true);
    finishRun();
    return extracted_;
}

void ZipExtractor::finishDirectories(bool report) {
    // The few walks left look for themselves, while the queue of changes closes: that
    // waits for the kernel to retire the watches, which then overlaps the rest of the run.
    walked_.StopWatching();
    if (!dest_ || !*dest_)
        return;
    for (auto& failure : directories_.Finish(walked_, dest_->get(), destShown_))
        if (report)
            zip_.extractFailures_.push_back(std::move(failure));
}

void ZipExtractor::extractChosen() {
    openDestination();
    savedSort_ = zip_.SortMode();
    if (spanned() && savedSort_ != TZipSortMode::ByNone) {
        // Entries in disk order, so that each disk is asked for once.
        zip_.SortDirectory(TZipSortMode::ByNone);
        sortSwitched_ = true;
    }
    std::int64_t totalBytes = 0;
    const int files = chooseEntries(totalBytes);
    zip_.totalBytes_ = totalBytes;
    zip_.bytesWritten_ = 0;
    bool stopNow = false;
    if (zip_.OnStartUnZipInfo)
        zip_.OnStartUnZipInfo(zip_, files, totalBytes, stopNow);
    if (files <= 0 || stopNow)
        return;
    const TSortedZip* view = zip_.View();
    for (int i = 0; i < view->Count(); ++i)
        if (zip_.DoAll() || view->Get(i)->Matched)
            order_.push_back(i);
    if (parallel())
        findRepeatedTargets();
    for (std::size_t k = 0; k < order_.size(); ++k) {
        position_ = k;
        if (parallel())
            lookAhead(k);
        do
            extractOneEntry(order_[k]);
        while (retry_);
    }
}

void ZipExtractor::finishRun() {
    zip_.FilesList().clear();
    if (sortSwitched_)
        zip_.SortDirectory(savedSort_);
    sortSwitched_ = false;
    if (zip_.OnUnZipComplete)
        zip_.OnUnZipComplete(zip_, extracted_);
}

void ZipExtractor::openDestination() {
    destShown_ = zip_.DestDir();
    if (destShown_.empty()) {
        dest_ = std::make_shared<const UniqueFd>(OpenExtractBase("."));
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(destShown_, ec); // a failure shows when opening
    dest_ = std::make_shared<const UniqueFd>(OpenExtractBase(destShown_));
}

int ZipExtractor::chooseEntries(std::int64_t& totalBytes) {
    const TSortedZip* view = zip_.View();
    if (!view)
        return 0;
    int files = 0;
    for (const auto& entry : *view) {
        entry->Matched = zip_.DoAll();
        const bool isFile = !entry->FileName().empty();
        if (isFile || zip_.RecreateDirs()) {
            if (zip_.selectedOnly_) {
                if (entry->Selected) {
                    entry->Matched = true;
                    entry->Selected = false;
                }
            } else {
                const std::string name = entry->FullName();
                for (const auto& mask : zip_.FilesList())
                    if (ExtractMaskMatches(mask, name)) {
                        entry->Matched = true;
                        break;
                    }
            }
        }
        if (entry->Matched && isFile) {
            totalBytes += entry->UncompressedSize;
            ++files;
        }
    }
    return files;
}

} // namespace kd
