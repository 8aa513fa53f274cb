#include "zip/reader/TZipReader.h"

#include <filesystem>

#include "platform/LinuxVolumeService.h"
#include "zip/base/ThreadPool.h"

namespace kd {

TZipReader::TZipReader()
    : ownedUi_(std::make_unique<SilentUiHost>()),
      ownedVolumes_(std::make_unique<LinuxVolumeService>()), ui_(ownedUi_.get()),
      volumes_(ownedVolumes_.get()) {
    initDefaults();
}

TZipReader::TZipReader(UiHost& ui, VolumeService& volumes) : ui_(&ui), volumes_(&volumes) {
    initDefaults();
}

TZipReader::~TZipReader() {
    ClearDirectory();
}

void TZipReader::initDefaults() {
    // The sender decides whose prompt runs, so the handler stays right when copied.
    OnGetNextDisk = [](TZipReader& sender, int nextDisk, std::string& fName) {
        sender.PromptNextDisk(nextDisk, fName);
    };
}

void TZipReader::Assign(const TZipReader& source) {
    if (&source == this)
        return;
    SetZipName(source.zipName_);
    SetDestDir(source.destDir_);
    SetRootDir(source.rootDir_);
    SortDirectory(source.sortMode_);
    recreateDirs_ = source.recreateDirs_;
    overwriteMode_ = source.overwriteMode_;
    filesList_ = source.filesList_;
    doAll_ = source.doAll_;
    incompleteZipMode_ = source.incompleteZipMode_;
    keepZipOpen_ = source.keepZipOpen_;
    doProcessMessages_ = source.doProcessMessages_;
    retainAttributes_ = source.retainAttributes_;
    replaceReadOnly_ = source.replaceReadOnly_;
    OnStartUnZipInfo = source.OnStartUnZipInfo;
    OnStartUnZip = source.OnStartUnZip;
    OnPromptForOverwrite = source.OnPromptForOverwrite;
    OnSkippingFile = source.OnSkippingFile;
    OnBadPassword = source.OnBadPassword;
    OnBadCRC = source.OnBadCRC;
    OnEndUnZip = source.OnEndUnZip;
    OnFilePercentDone = source.OnFilePercentDone;
    OnTotalPercentDone = source.OnTotalPercentDone;
    OnUnZipComplete = source.OnUnZipComplete;
    OnInCompleteZip = source.OnInCompleteZip;
    OnGetNextDisk = source.OnGetNextDisk;
    OnGetNextBuffer = source.OnGetNextBuffer;
}

void TZipReader::SetZipName(const std::string& name) {
    if (name == zipName_)
        return;
    std::string chosen = name;
    if (!chosen.empty() && chosen.back() == '?') {
        std::error_code ec;
        const std::string dir = std::filesystem::path(chosen).parent_path().string();
        const std::string start =
            !dir.empty() && std::filesystem::is_directory(dir, ec) ? dir : std::string("/");
        const auto file =
            ui_->chooseFile(std::string(kTextOpenZipFile), start, std::string(kTextZipFilter));
        if (!file)
            throw EUserCanceled(kMsgCanceledZipName);
        chosen = *file;
    }
    zipName_ = chosen;
    sortedView_.reset();
    directory_.reset();
    endCentral_.Clear();
    zipStream_.reset();
    recordedStamp_.reset();
    rebuilt_ = false;
}

void TZipReader::SetDestDir(const std::string& dir) {
    std::string value = dir;
    if (value == "?") {
        std::error_code ec;
        const std::string start = std::filesystem::is_directory(destDir_, ec)
                                      ? destDir_
                                      : std::filesystem::current_path(ec).string();
        const auto chosen = ui_->chooseDirectory("", start);
        if (!chosen)
            throw EUserCanceled(kMsgCanceledDestDir);
        value = *chosen;
    }
    if (value.size() > 1 && value.back() == '/')
        value.pop_back();
    destDir_ = value;
}

void TZipReader::SetRootDir(const std::string& dir) {
    rootDir_ = dir;
    if (!rootDir_.empty() && rootDir_.back() != '/')
        rootDir_ += '/';
}

void TZipReader::ClearDirectory() {
    CloseArchive();
    sortedView_.reset();
    directory_.reset();
    endCentral_.Clear();
    rebuilt_ = false;
    recordedStamp_.reset();
    SetMultiMode(TMultiMode::mmNone);
    zipName_.clear();
}

void TZipReader::SortDirectory(TZipSortMode mode) {
    sortedView_.reset();
    if (mode != TZipSortMode::ByNone && directory_) {
        sortedView_ = std::make_unique<TSortedZip>(TDuplicates::Accept, mode);
        for (const auto& entry : *directory_)
            sortedView_->Add(entry);
    }
    sortMode_ = mode;
}

void TZipReader::OpenZipFile() {
    // Judged by the name, not by an open handle: a file replaced by a rename keeps
    // the old one alive behind the handle.
    const bool current = directory_ && recordedStamp_ && recordedStamp_ == FileStampOf(zipName_);
    if (!current)
        CloseArchive();
    if (!zipStream_)
        zipStream_ = std::make_unique<TLFNFileStream>(zipName_, FileBufferSize, flushFilesOnClose_,
                                                      FileOpenMode::Read);
    if (!current)
        ReadDirectory();
}

void TZipReader::CloseZipFile() {
    if (!keepZipOpen_)
        CloseArchive();
}

void TZipReader::RecordArchiveStamp() {
    recordedStamp_ = zipStream_ ? FileStampOf(zipStream_->Handle()) : std::nullopt;
}

int TZipReader::DefaultExtractThreads() {
    return ThreadPool::Cores();
}

void TZipReader::ProcessMessagesAndCheckCancel() {
    if (!doProcessMessages_)
        return;
    ui_->processEvents();
    if (cancel_) {
        cancel_ = false;
        throw EUserCanceled(kMsgUserAborted);
    }
}

} // namespace kd
