#include "zip/writer/TZipWriter.h"

#include "platform/ArchiveAttributeStore.h"

namespace kd {

TZipWriter::TZipWriter()
    : ownedAttributes_(std::make_unique<ArchiveAttributeStore>()),
      attributes_(ownedAttributes_.get()) {}

TZipWriter::TZipWriter(UiHost& ui, VolumeService& volumes, ArchiveAttribute& attributes)
    : TZipReader(ui, volumes), attributes_(&attributes) {}

TZipWriter::~TZipWriter() = default;

void TZipWriter::Assign(const TZipReader& source) {
    TZipReader::Assign(source);
    const auto* writer = dynamic_cast<const TZipWriter*>(&source);
    if (!writer || writer == this)
        return;
    packLevel_ = writer->packLevel_;
    recurse_ = writer->recurse_;
    dispose_ = writer->dispose_;
    storePaths_ = writer->storePaths_;
    relativePaths_ = writer->relativePaths_;
    storeVolumes_ = writer->storeVolumes_;
    zipAction_ = writer->zipAction_;
    multiZipInfo_.Assign(writer->multiZipInfo_);
    writeSetAfresh_ = writer->writeSetAfresh_;
    store83Names_ = writer->store83Names_;
    tempPath_ = writer->tempPath_;
    skipIfArchiveBitNotSet_ = writer->skipIfArchiveBitNotSet_;
    resetArchiveBitOnZip_ = writer->resetArchiveBitOnZip_;
    excludeList_ = writer->excludeList_;
    noCompressList_ = writer->noCompressList_;
    threads_ = writer->threads_;
    memoryInFlight_ = writer->memoryInFlight_;
    startZipSeesArchiveBit_ = writer->startZipSeesArchiveBit_;
    addDirEntriesOnRecurse_ = writer->addDirEntriesOnRecurse_;
    dirEntriesOnlyWithFiles_ = writer->dirEntriesOnlyWithFiles_;
    ownArchives_ = writer->ownArchives_;
    skipEmptyArchive_ = writer->skipEmptyArchive_;
    OnStartZip = writer->OnStartZip;
    OnStartZipInfo = writer->OnStartZipInfo;
    OnEndZip = writer->OnEndZip;
    OnDisposeFile = writer->OnDisposeFile;
    OnDeleteEntry = writer->OnDeleteEntry;
    OnNoSuchFile = writer->OnNoSuchFile;
    OnZipComplete = writer->OnZipComplete;
    OnUpdate = writer->OnUpdate;
}

void TZipWriter::SetStorePaths(bool value) {
    if (value == storePaths_)
        return;
    storePaths_ = value;
    if (!value)
        relativePaths_ = storeVolumes_ = false;
}

void TZipWriter::SetRelativePaths(bool value) {
    relativePaths_ = value;
    if (value)
        storePaths_ = recurse_ = true;
}

void TZipWriter::SetStoreVolumes(bool value) {
    storeVolumes_ = value;
    if (value)
        storePaths_ = true;
}

void TZipWriter::SetMultiMode(TMultiMode value) {
    multiZipInfo_.SetMultiMode(value);
    TZipReader::SetMultiMode(value);
}

void TZipWriter::SetCheckDiskLabels(bool value) {
    multiZipInfo_.SetCheckDiskLabels(value);
    TZipReader::SetCheckDiskLabels(value);
}

void TZipWriter::SetZipName(const std::string& name) {
    if (name == ZipName())
        return;
    // Store the changed comments before the archive is let go (a set in several parts
    // cannot be rewritten: its entries would not be carried over). The caller's
    // FilesList is for the next archive, not this one.
    if (endCentral_.Modified && !ZipName().empty() && GetMultiMode() == TMultiMode::mmNone) {
        std::vector<std::string> files;
        files.swap(FilesList());
        try {
            ProcessArchiveUpdate();
        } catch (...) {
            FilesList() = std::move(files);
            throw;
        }
        FilesList() = std::move(files);
        endCentral_.Modified = false;
    }
    TZipReader::SetZipName(name);
}

int TZipWriter::AddFilesToArchive() {
    const int count = ProcessArchiveUpdate();
    if (OnZipComplete)
        OnZipComplete(*this, count);
    return count;
}

} // namespace kd
