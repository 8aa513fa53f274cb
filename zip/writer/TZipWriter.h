#pragma once
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ArchiveAttribute.h"
#include "zip/reader/TZipReader.h"
#include "zip/writer/TMultiZipInfo.h"
#include "zip/writer/ZipWriterTypes.h"

namespace kd {

struct ZipWriterRun;
struct CompressedFile;
struct StoredPath;
struct StartQuestion;
struct StartDecision;
struct FileTurn;
struct FoundFile;
class EntryNameSet;
class ShownModified;

// The component that writes ZIP archives. It inherits from the reader the archive
// name, RootDir, FilesList, Password, the directory and the events, and adds what to
// put into an archive and how.
//
// AddFilesToArchive takes the items of FilesList (file names, directory entries
// ending in "/", or masks, optionally prefixed "|" for no subdirectories or ">" for
// subdirectories; relative names resolve against RootDir) and writes them into
// ZipName, keeping, replacing or adding entries as ZipAction says. The archive is
// built in a temporary file beside ZipName and renamed over it only once complete,
// so a failed or cancelled run leaves the old archive as it was; source files are
// disposed of and archive attributes reset only after that rename.
//
// Limits of the format without ZIP64 are refused with EZipTooLarge: a file of 4 GiB
// or more, an archive passing 4 GiB, more than 65535 entries.
//
// Every file or directory a run means to store and cannot is reported through
// OnSkippingFile, with SkipDetail() giving the system's reason while it runs, and
// left out: a file that cannot be opened (srOpenFailed; Retry tries again), one that
// keeps changing while it is read, after three reads (srFileChanged; Retry reads it
// again), a directory the search cannot list (srUnreadableDir), a FIFO, socket or
// device (srSpecialFile) and a path longer than the system accepts (srPathTooLong).
// A file that vanished before it was opened is left out without a word.
//
// OnStartZip is asked about every file of the run, in the order the files go in,
// before any file is read (a directory entry is asked about in its turn): a file it
// skips is never opened, and the workers compress only the files it took. Its edits
// of the header stand; a file that changed between the question and its turn goes in
// as it is then, in the header fields the handler left as they were. The question
// goes by the state in which FilesList's expansion found the file; one found not to
// be a regular file, or whose entry name an earlier file took, is asked about in its
// turn.
//
// The archive being written, the archive it replaces and the OwnArchives are never
// stored, whatever name the search finds them under (they are compared as files).
//
// With MultiMode mmBlocks or mmSpan the archive is written in several parts (numbered
// part files of MultiZipInfo's sizes, or removable disks asked for through
// OnGetNextDisk), and with SaveZipInfoOnFirstDisk a set of several parts also gets its
// ".zfc" directory file. Numbered parts update the old set (or the single archive)
// under ZipName as ZipAction says (unless WriteSetAfresh), copying kept entries from
// the old parts; the new parts are renamed into place only once the set is complete,
// and the old set's surplus parts go after that (ZipWriterPartsNumbered). Spanned
// disks are written afresh: the old set is on the disks the new one takes
// (ZipWriterSpan). A single archive run (mmNone) refuses an archive that is part of a
// set.
class TZipWriter : public TZipReader {
public:
    using TStartZipEvent = std::function<void(TZipWriter& sender, const std::string& fName,
                                              TZipHeaderInfo& zipHeader, bool& skip)>;
    using TStartZipInfo =
        std::function<void(TZipWriter& sender, int numFiles, std::int64_t totalBytes,
                           TEndCentral& endCentralRecord, bool& stopNow)>;
    using TEndZipFileEvent = std::function<void(
        TZipWriter& sender, const std::string& fName, std::uint32_t uncompressedSize,
        std::uint32_t compressedSize, std::int64_t currentZipSize)>;
    using TDisposeEvent =
        std::function<void(TZipWriter& sender, const std::string& fName, bool& skip)>;
    using TDeleteEvent = TDisposeEvent;
    using TNoSuchFileEvent = std::function<void(TZipWriter& sender, const std::string& fName)>;
    using TZipComplete = std::function<void(TZipWriter& sender, int fileCount)>;
    using TUpdateEvent =
        std::function<void(TZipWriter& sender, TUpdateAction udAction, int fileIndex)>;
    using TPrepareNextDisk = std::function<void(TZipWriter& sender, int diskNum)>;

    // Silent UI, the system's volumes and archive attributes (extended attributes).
    TZipWriter();
    // The services must outlive the component.
    TZipWriter(UiHost& ui, VolumeService& volumes, ArchiveAttribute& attributes);
    ~TZipWriter() override;

    // From another writer also copies the writer's settings and event handlers
    // (ZipAction as stored, without the setters' side effects; not OnPrepareNextDisk).
    void Assign(const TZipReader& source) override;

    void SetArchiveAttribute(ArchiveAttribute& attributes) { attributes_ = &attributes; }
    ArchiveAttribute& Attributes() const { return *attributes_; }

    // --- Properties ---
    // 0 stores every file; 1-9 choose the Deflate level.
    int PackLevel() const { return packLevel_; }
    void SetPackLevel(int value) { packLevel_ = value; }
    // Masks without "|" or ">" also search subdirectories.
    bool Recurse() const { return recurse_; }
    void SetRecurse(bool value) { recurse_ = value; }
    // Delete the source files that went into the archive (after it is in place).
    bool Dispose() const { return dispose_; }
    void SetDispose(bool value) { dispose_ = value; }
    // Store each file's directory; False also clears StoreVolumes and RelativePaths.
    bool StorePaths() const { return storePaths_; }
    void SetStorePaths(bool value);
    // Store directories relative to RootDir; True also sets StorePaths and Recurse.
    bool RelativePaths() const { return relativePaths_; }
    void SetRelativePaths(bool value);
    // Keep the volume part of stored directories (Linux paths have none; the leading
    // "/" is never stored); True also sets StorePaths.
    bool StoreVolumes() const { return storeVolumes_; }
    void SetStoreVolumes(bool value);
    TZipAction ZipAction() const { return zipAction_; }
    void SetZipAction(TZipAction value) { zipAction_ = value; }
    TMultiZipInfo& MultiZipInfo() { return multiZipInfo_; }
    const TMultiZipInfo& MultiZipInfo() const { return multiZipInfo_; }
    void SetMultiZipInfo(const TMultiZipInfo& value) { multiZipInfo_.Assign(value); }
    // Numbered parts: the set is written afresh, none of the old set's entries carried
    // over (the old set still goes only once the new one is in place).
    bool WriteSetAfresh() const { return writeSetAfresh_; }
    void SetWriteSetAfresh(bool value) { writeSetAfresh_ = value; }
    // Short (8.3) names do not exist on Linux: names are stored as they are.
    bool Store83Names() const { return store83Names_; }
    void SetStore83Names(bool value) { store83Names_ = value; }
    // Directory for temporary data files (multi-part output); empty or missing: the
    // system's. The temporary archive itself always lies beside ZipName.
    const std::string& TempPath() const { return tempPath_; }
    void SetTempPath(const std::string& value) { tempPath_ = value; }
    bool SkipIfArchiveBitNotSet() const { return skipIfArchiveBitNotSet_; }
    void SetSkipIfArchiveBitNotSet(bool value) { skipIfArchiveBitNotSet_ = value; }
    bool ResetArchiveBitOnZip() const { return resetArchiveBitOnZip_; }
    void SetResetArchiveBitOnZip(bool value) { resetArchiveBitOnZip_ = value; }
    // Masks of files never added: a mask with "/" is matched against the whole path,
    // any other against the file name.
    std::vector<std::string>& ExcludeList() { return excludeList_; }
    const std::vector<std::string>& ExcludeList() const { return excludeList_; }
    void SetExcludeList(const std::vector<std::string>& masks) { excludeList_ = masks; }
    // Masks of files stored without compression (matched like ExcludeList).
    std::vector<std::string>& NoCompressList() { return noCompressList_; }
    const std::vector<std::string>& NoCompressList() const { return noCompressList_; }
    void SetNoCompressList(const std::vector<std::string>& masks) { noCompressList_ = masks; }
    // Files never stored, compared as files (a link or another spelling of the path is
    // the same file): the caller's other archives beside the one being written.
    const std::vector<std::string>& OwnArchives() const { return ownArchives_; }
    void SetOwnArchives(std::vector<std::string> paths) { ownArchives_ = std::move(paths); }
    // When set, a run whose archive would hold no file entry (directory entries aside)
    // writes nothing: an existing archive stays as it was, and EmptyArchiveSkipped() is
    // true until the next run.
    bool SkipEmptyArchive() const { return skipEmptyArchive_; }
    void SetSkipEmptyArchive(bool value) { skipEmptyArchive_ = value; }
    bool EmptyArchiveSkipped() const { return emptyArchiveSkipped_; }
    // While OnSkippingFile reports a file the run leaves out: the system's reason
    // ("Permission denied"), empty when the reason says it all.
    const std::string& SkipDetail() const { return skipDetail_; }
    // While OnStartZip and OnEndZip report a file: its last-write time as the run found
    // it on the open file, so that handlers need not look the file up again. Nothing
    // for a directory entry and outside those events.
    const std::optional<timespec>& SourceModified() const { return sourceModified_; }
    // Whether the header OnStartZip is asked with carries the file's archive attribute
    // (the default). Off, its archive bit reads as set, and the attribute is looked up
    // only for a file the handler takes, which then gets its real bit unless the
    // handler edited the attributes: a handler that never looks at the bit spares the
    // run a look-up of every file it skips.
    bool StartZipSeesArchiveBit() const { return startZipSeesArchiveBit_; }
    void SetStartZipSeesArchiveBit(bool value) { startZipSeesArchiveBit_ = value; }
    // A recursive search also adds an entry for each directory it enters.
    bool AddDirEntriesOnRecurse() const { return addDirEntriesOnRecurse_; }
    void SetAddDirEntriesOnRecurse(bool value) { addDirEntriesOnRecurse_ = value; }
    // When set, a directory entry the run would add is written only for a directory
    // that holds (at any depth) a file the run writes, just before the first such file,
    // so that a run choosing few files stores no tree of empty directories. Directory
    // entries of the old archive are kept or replaced as usual.
    bool DirEntriesOnlyWithFiles() const { return dirEntriesOnlyWithFiles_; }
    void SetDirEntriesOnlyWithFiles(bool value) { dirEntriesOnlyWithFiles_ = value; }
    // Worker threads that compress the next files while the calling thread writes
    // (default: the machine's cores). 1 compresses every file on the calling thread.
    // The archive, the events and their order are the same whatever the count.
    int Threads() const { return threads_; }
    void SetThreads(int value) { threads_ = std::max(value, 1); }
    // Input bytes of the files compressed ahead and not yet written, at most (default
    // 64 MiB). A larger file is compressed in its turn on the calling thread.
    std::uint64_t MemoryInFlight() const { return memoryInFlight_; }
    void SetMemoryInFlight(std::uint64_t value) { memoryInFlight_ = value; }
    // Sharing flags of the original platform's file open; files are always opened
    // read-only without locking on Linux, so the value is only kept.
    std::uint16_t SourceOpenMode = 64;

    // Read from and written to MultiZipInfo, so the reader side sees the same values.
    TMultiMode GetMultiMode() const override { return multiZipInfo_.MultiMode(); }
    void SetMultiMode(TMultiMode value) override;
    bool GetCheckDiskLabels() const override { return multiZipInfo_.CheckDiskLabels(); }
    void SetCheckDiskLabels(bool value) override;
    // A different name first rewrites an archive whose comments were changed in
    // memory (FilesList is kept for the caller), then behaves as the reader's.
    void SetZipName(const std::string& name) override;

    // --- Events ---
    TStartZipEvent OnStartZip;          // may edit the header or skip the file
    TStartZipInfo OnStartZipInfo;       // once before the new files; may stop the run
    TEndZipFileEvent OnEndZip;          // after each entry written from disk
    TDisposeEvent OnDisposeFile;        // before a source file is deleted (Dispose)
    TDeleteEvent OnDeleteEntry;         // never raised: no operation deletes entries
    TNoSuchFileEvent OnNoSuchFile;      // a named file does not exist
    TZipComplete OnZipComplete;         // after AddFilesToArchive
    TUpdateEvent OnUpdate;              // an old entry is kept or replaced
    TPrepareNextDisk OnPrepareNextDisk; // multi-part output

    // --- Operations ---
    // Adds or updates the files of FilesList in ZipName (see the class comment) and
    // raises OnZipComplete; returns the number of entries written from disk (new and
    // replaced files and directory entries). FilesList is empty afterwards, also
    // after a failure. An empty FilesList rewrites an existing archive with every
    // entry unchanged (storing changed comments).
    int AddFilesToArchive();
    // Writes stubFile, the block and the archive zipName (with FilesList added) as one
    // self-extracting executable; see zip/selfextract/SelfExtractor.h.
    int WriteSelfExtractor(const std::string& stubFile, const std::string& zipName,
                           const std::uint8_t* block, int blockSize);

protected:
    // Lower limits than the format's, so that tests can reach them cheaply.
    void SetFormatLimits(std::uint64_t maxArchiveSize, int maxEntries) {
        maxArchiveSize_ = maxArchiveSize;
        maxEntries_ = maxEntries;
    }

private:
    static int defaultThreads();
    int ProcessArchiveUpdate();
    void runProcess(ZipWriterRun& run);
    void checkOldArchive() const;
    // Removes temporary files that killed runs left where this run writes.
    void sweepStaleTemporaryFiles(bool parts) const;
    void expandFilesList(ZipWriterRun& run);
    void expandMask(ZipWriterRun& run, const std::string& mask);
    bool wantedFile(ZipWriterRun& run, const std::string& name, const FoundFile& found);
    void decideOldEntries(ZipWriterRun& run);
    // Raises OnStartZip for every file of the run, in the order they go in, before
    // any is read; run.Starts keeps the answers.
    void decideStarts(ZipWriterRun& run);
    // Asks about the file name (Items[index]) in the state found of it.
    void decideStart(ZipWriterRun& run, const std::string& name, std::size_t index, bool replacing,
                     EntryNameSet& claimed, StartQuestion& question);
    void processOldEntries(ZipWriterRun& run);
    // Starts the worker threads on the files the run will write, in that order.
    void startPrefetch(ZipWriterRun& run);
    // Refuses a run whose archive would hold more entries than the format allows,
    // before anything is written.
    void refuseTooManyEntries(const ZipWriterRun& run) const;
    [[noreturn]] void tooManyEntries() const;
    void copyOldEntry(ZipWriterRun& run, int index, const TZipHeaderInfo& entry);
    void addEntry(ZipWriterRun& run, std::shared_ptr<TZipHeaderInfo> header);
    void writeCentralDirectory(ZipWriterRun& run);
    void finishRun(ZipWriterRun& run);
    // Reads the directory of an old archive or set of numbered parts under ZipName
    // (mmBlocks), for its entries to be carried over.
    void openOldPartSet(ZipWriterRun& run);
    void startParts(ZipWriterRun& run);
    void writeSpooledEntry(ZipWriterRun& run, TZipHeaderInfo& header);
    void finishParts(ZipWriterRun& run);
    void SaveDirectoryFile(const TEndCentral& end);
    // decided: what OnStartZip said of the file before the run read any (none: it is
    // asked in the file's turn).
    bool CompressOneFile(ZipWriterRun& run, const std::string& name,
                         StartDecision* decided = nullptr);
    // Raises OnStartZip in the entry's turn; false when it is left out.
    bool startEntry(ZipWriterRun& run, const std::string& name, TZipHeaderInfo& header,
                    std::uint64_t size);
    // Reports an entry whose name the archive holds already; true when it does.
    bool nameTaken(ZipWriterRun& run, const std::string& name, const TZipHeaderInfo& header);
    // The entry goes in at the output position, after the held directories it lies in.
    void placeEntry(ZipWriterRun& run, const std::string& name, TZipHeaderInfo& header);
    bool writeDirectoryEntry(ZipWriterRun& run, const std::string& name);
    // Sets the directory entries aside that wait for a file (DirEntriesOnlyWithFiles).
    void holdDirectoryEntries(ZipWriterRun& run) const;
    // Writes the waiting directory entries of the directories that hold file.
    void writeHeldDirectories(ZipWriterRun& run, const std::string& file);
    bool writeFileEntry(ZipWriterRun& run, const std::string& name, StartDecision* decided);
    // Readies the file for its turn: the data a worker made of it when the file is
    // still as it was read, else the open file. False when it is left out.
    bool startTurn(ZipWriterRun& run, const std::string& name, FileTurn& turn);
    // Readies a file OnStartZip took before the run, its header moved to the state
    // the file is in now.
    bool takeDecided(ZipWriterRun& run, const std::string& name, StartDecision& decided,
                     FileTurn& turn, ShownModified& shown);
    // Readies a file not asked about before, then asks OnStartZip.
    bool askInTurn(ZipWriterRun& run, const std::string& name, FileTurn& turn,
                   ShownModified& shown);
    // Writes the readied file, reading it again while it changes.
    bool writeTurn(ZipWriterRun& run, const std::string& name, FileTurn& turn,
                   ShownModified& shown);
    std::unique_ptr<TLFNFileStream> openSource(const std::string& name);
    // Reports a file or directory the run leaves out; true when Retry was asked.
    bool leaveOut(TSkipReason reason, const std::string& name, std::string detail);
    bool writeFileData(ZipWriterRun& run, TLFNFileStream& source, TZipHeaderInfo& header,
                       const ArchiveStamp& stamp);
    // Writes an entry whose data a worker made (the events as if read here); false
    // when the file changed since.
    bool writePrefetchedData(ZipWriterRun& run, const CompressedFile& data, const std::string& name,
                             TZipHeaderInfo& header);
    // The file goes in stored, without compression (level 0 or NoCompressList).
    bool isStoredByRule(const std::string& fileName) const;
    // Entries of the old archive the run keeps, replaces or copies (none without one).
    std::size_t oldEntryCount(const ZipWriterRun& run) const;
    std::uint32_t crcOfSource(ZipWriterRun& run, TLFNFileStream& source);
    void writeData(ZipWriterRun& run, const std::uint8_t* data, std::size_t count, bool encrypt);
    // One read of a file's data: counted in the run, then the progress events.
    void reportRead(ZipWriterRun& run, std::uint64_t got, std::uint64_t bytesRead,
                    std::uint64_t size, bool spooled);
    StoredPath storedNameOf(const std::string& name) const;
    // The same into stored, whose buffers are used again.
    void storedNameOf(std::string_view name, StoredPath& stored) const;
    std::string resolve(const std::string& name) const;

    std::unique_ptr<ArchiveAttribute> ownedAttributes_;
    ArchiveAttribute* attributes_ = nullptr;

    int packLevel_ = 6;
    bool recurse_ = false;
    bool dispose_ = false;
    bool storePaths_ = false;
    bool relativePaths_ = false;
    bool storeVolumes_ = false;
    TZipAction zipAction_ = TZipAction::zaUpdate;
    TMultiZipInfo multiZipInfo_;
    bool writeSetAfresh_ = false;
    bool store83Names_ = false;
    std::string tempPath_;
    bool skipIfArchiveBitNotSet_ = false;
    bool resetArchiveBitOnZip_ = false;
    std::vector<std::string> excludeList_;
    std::vector<std::string> noCompressList_;
    bool startZipSeesArchiveBit_ = true;
    bool addDirEntriesOnRecurse_ = false;
    bool dirEntriesOnlyWithFiles_ = false;
    std::vector<std::string> ownArchives_;
    bool skipEmptyArchive_ = false;
    bool emptyArchiveSkipped_ = false;
    std::string skipDetail_;
    std::optional<timespec> sourceModified_;

    int threads_ = defaultThreads();
    std::uint64_t memoryInFlight_ = std::uint64_t{64} << 20;

    std::uint64_t maxArchiveSize_ = kMaxZipSize;
    int maxEntries_ = kMaxZipEntries;
};

} // namespace kd
