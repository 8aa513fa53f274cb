#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStamp.h"
#include "platform/UiHost.h"
#include "platform/VolumeService.h"
#include "zip/base/TLFNFileStream.h"
#include "zip/format/TEndCentral.h"
#include "zip/format/TSortedZip.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZipExceptions.h"
#include "zip/reader/ExtractFailure.h"
#include "zip/reader/ZipReaderTypes.h"

namespace kd {

class ZipDirectoryReader;
class ZipExtractor;

// The component through which the program reads ZIP archives: it holds the archive's
// name and directory, answers questions about its entries by index (into the view in
// SortMode order), lists the contents, and reads the directory of single archives,
// numbered part files, spanned disks and ".zfc" side files. The writer derives from it.
//
// Everything it would ask the user goes through the UiHost (file and directory
// choosers, the next-disk box, the hourglass); long work calls its processEvents when
// DoProcessMessages is set and then honours CancelRunningOperation. Drive types and
// disk labels come from the VolumeService.
//
// Events are std::function members; the sender comes first and by-reference
// arguments carry the answers. An unassigned event takes the default answer.
class TZipReader {
public:
    using TStartUnzipInfo = std::function<void(TZipReader& sender, int numFiles,
                                               std::int64_t totalBytes, bool& stopNow)>;
    using TStartUnZipEvent =
        std::function<void(TZipReader& sender, int fileIndex, std::string& fName, bool& skip)>;
    using TPromptForOverwrite = std::function<void(TZipReader& sender, bool& overWriteIt,
                                                   int fileIndex, std::string& fName)>;
    using TSkippingFile = std::function<void(TZipReader& sender, TSkipReason reason,
                                             const std::string& fName, int fileIndex, bool& retry)>;
    using TBadPassword =
        std::function<void(TZipReader& sender, int fileIndex, std::string& newPassword)>;
    using TBadCRC = std::function<void(TZipReader& sender, std::uint32_t calcCrc,
                                       std::uint32_t storedCrc, int fileIndex)>;
    using TEndUnZipEvent =
        std::function<void(TZipReader& sender, int fileIndex, const std::string& fName)>;
    using TPercentDone = std::function<void(TZipReader& sender, int percent)>;
    using TUnZipComplete = std::function<void(TZipReader& sender, int fileCount)>;
    using TIncompleteZip = std::function<void(TZipReader& sender, TIncompleteZipMode& mode)>;
    using TGetNextDisk = std::function<void(TZipReader& sender, int nextDisk, std::string& fName)>;
    using TGetNextBuffer =
        std::function<void(TZipReader& sender, char*& buffer, const std::string& fName,
                           int amountUsed, int bufferNum, bool& quit)>;

    // Answers nothing (SilentUiHost) and asks the system for volumes.
    TZipReader();
    // The services must outlive the component.
    TZipReader(UiHost& ui, VolumeService& volumes);
    virtual ~TZipReader();
    TZipReader(const TZipReader&) = delete;
    TZipReader& operator=(const TZipReader&) = delete;

    // Copies the settings and the event handlers (not Password, FlushFilesOnClose or
    // the directory).
    virtual void Assign(const TZipReader& source);

    void SetUiHost(UiHost& ui) { ui_ = &ui; }
    void SetVolumeService(VolumeService& volumes) { volumes_ = &volumes; }
    UiHost& Ui() const { return *ui_; }
    VolumeService& Volumes() const { return *volumes_; }

    // --- Properties ---
    int ThisVersion() const { return kZipComponentVersion; }
    void SetThisVersion(int) {} // fixed

    const std::string& ZipName() const { return zipName_; }
    // A different name frees the directory. A name ending in "?" lets the user choose
    // the archive (EUserCanceled when cancelled).
    virtual void SetZipName(const std::string& name);

    const std::string& DestDir() const { return destDir_; }
    // "?" lets the user choose; the value is kept without a trailing "/".
    void SetDestDir(const std::string& dir);
    const std::string& RootDir() const { return rootDir_; }
    // Kept with a trailing "/" (empty stays empty).
    void SetRootDir(const std::string& dir);

    TZipSortMode SortMode() const { return sortMode_; }
    void SetSortMode(TZipSortMode mode) { SortDirectory(mode); }
    bool RecreateDirs() const { return recreateDirs_; }
    void SetRecreateDirs(bool value) { recreateDirs_ = value; }
    TUZOverwriteMode OverwriteMode() const { return overwriteMode_; }
    void SetOverwriteMode(TUZOverwriteMode value) { overwriteMode_ = value; }
    std::vector<std::string>& FilesList() { return filesList_; }
    const std::vector<std::string>& FilesList() const { return filesList_; }
    void SetFilesList(const std::vector<std::string>& masks) { filesList_ = masks; }
    bool DoAll() const { return doAll_; }
    void SetDoAll(bool value) { doAll_ = value; }
    TIncompleteZipMode IncompleteZipMode() const { return incompleteZipMode_; }
    void SetIncompleteZipMode(TIncompleteZipMode value) { incompleteZipMode_ = value; }
    static int DefaultExtractThreads();
    bool KeepZipOpen() const { return keepZipOpen_; }
    void SetKeepZipOpen(bool value) { keepZipOpen_ = value; }
    bool DoProcessMessages() const { return doProcessMessages_; }
    void SetDoProcessMessages(bool value) { doProcessMessages_ = value; }
    // Threads that inflate and write entries while extracting (at least 1; by default
    // DefaultExtractThreads(), the machine's cores). With 1 everything runs on the
    // calling thread. With more, workers decode entries ahead, while the events, the
    // questions and the outcomes come on the calling thread in the order and with
    // the values of a run on one thread.
    int ExtractThreads() const { return extractThreads_; }
    void SetExtractThreads(int value) { extractThreads_ = value < 1 ? 1 : value; }
    bool RetainAttributes() const { return retainAttributes_; }
    void SetRetainAttributes(bool value) { retainAttributes_ = value; }
    bool ReplaceReadOnly() const { return replaceReadOnly_; }
    void SetReplaceReadOnly(bool value) { replaceReadOnly_ = value; }
    bool FlushFilesOnClose() const { return flushFilesOnClose_; }
    void SetFlushFilesOnClose(bool value) { flushFilesOnClose_ = value; }

    const std::string& Password() const { return password_; }
    void SetPassword(const std::string& value) { password_ = value; }
    virtual TMultiMode GetMultiMode() const { return multiMode_; }
    virtual void SetMultiMode(TMultiMode value) { multiMode_ = value; }
    virtual bool GetCheckDiskLabels() const { return checkDiskLabels_; }
    virtual void SetCheckDiskLabels(bool value) { checkDiskLabels_ = value; }

    // --- Events ---
    TStartUnzipInfo OnStartUnZipInfo;
    TStartUnZipEvent OnStartUnZip;
    TPromptForOverwrite OnPromptForOverwrite;
    TSkippingFile OnSkippingFile;
    TBadPassword OnBadPassword;
    TBadCRC OnBadCRC;
    TEndUnZipEvent OnEndUnZip;
    TPercentDone OnFilePercentDone;
    TPercentDone OnTotalPercentDone;
    TUnZipComplete OnUnZipComplete;
    TIncompleteZip OnInCompleteZip;
    TGetNextDisk OnGetNextDisk;     // PromptNextDisk unless replaced
    TGetNextBuffer OnGetNextBuffer; // never fired by the reader

    // --- Operations ---
    // Reads the directory of ZipName. An archive without an end record raises
    // EIncompleteZip only while OnInCompleteZip changes something; otherwise the
    // directory stays empty. Any other failure clears the directory and ZipName.
    void OpenAndReadDirectory();
    // Closes the archive (even with KeepZipOpen), frees the directory, clears the end
    // record, sets MultiMode to mmNone and empties ZipName.
    void ClearDirectory();
    // Asks the running scan or extraction to stop at its next check.
    void CancelRunningOperation() { cancel_ = true; }
    // Orders the view; ByNone is the stored order.
    void SortDirectory(TZipSortMode mode);

    int GetEntryCount() const;
    // Entry Index of the view (EListError "Index N is out of range" otherwise).
    const TZipHeaderInfo& Entry(int index) const;
    std::string GetEntryFileName(int index) const;
    std::string GetEntryPath(int index) const; // the stored directory, with its "/"
    std::string GetEntryMethodName(int index) const;
    // The entry's exact time (extended timestamp or NTFS field) as local time, else its
    // DOS date and time; the current time when it names no real date.
    TDateTime GetEntryDateTime(int index) const;
    std::uint32_t GetEntryCompressedSize(int index) const;
    std::uint32_t GetEntryUncompressedSize(int index) const;
    bool GetEntryEncrypted(int index) const;
    bool GetEntryHasComment(int index) const;
    int GetEntryDiskNumber(int index) const; // 1-based
    void SetEntrySelected(int index, bool value);
    // Loads the comment from the archive when needed. Text that is not UTF-8 is read
    // as Windows-1250.
    std::string GetEntryComment(int index);
    // Marks the archive as modified when the text differs.
    void SetEntryComment(int index, const std::string& text);
    std::string GetArchiveComment();
    void SetArchiveComment(const std::string& text);

    // One line per entry of the view: name, "#" when encrypted, "@" when commented,
    // then tab-separated date, time, sizes, ratio, method and directory; lower-cased.
    void ListContents(std::vector<std::string>& lines) const;

    // Extracts below DestDir (the current directory when empty) every entry with DoAll,
    // else the entries matching a mask of FilesList, and returns how many it
    // extracted. 0 at once when DestDir is "?". Each file is written beside its target
    // and put in its place only when its CRC matches; names that would lead outside
    // the destination and paths through symbolic links are refused. FilesList is
    // emptied. Cancel, an unreadable archive and write errors (a full disk) end the
    // run with an exception; damaged entries are reported by events and listed in
    // ExtractFailures.
    int ExtractArchive();
    // ExtractArchive for the entries whose Selected flag is set; the flags are cleared.
    int ExtractSelectedEntries();
    // The entries the last extraction run could not extract; empty when all went well.
    const std::vector<TExtractFailure>& ExtractFailures() const { return extractFailures_; }
    // During OnEndUnZip: the stamp of the file just put in place, as it was sealed
    // (its time and size, its device and inode); nullopt when that is not known.
    std::optional<FileStamp> ExtractedStamp() const { return extractedStamp_; }

    // The default OnGetNextDisk: asks for the disk with mmSpan, otherwise names the
    // part file (extension "." + three-digit number).
    void PromptNextDisk(int nextDisk, std::string& fName);

protected:
    // --- Shared with the writer and with extraction ---
    // Opens ZipName when no archive stream is open and reads the directory unless it
    // is loaded and the file is unchanged (modification time in ns and size).
    void OpenZipFile();
    // Frees the archive stream unless KeepZipOpen.
    void CloseZipFile();
    // Frees the archive stream whatever KeepZipOpen says.
    void CloseArchive() { zipStream_.reset(); }
    // Reads the directory from the open archive stream.
    void ReadDirectory();
    // Rebuilds the directory from the local headers of the open archive (at most once
    // per read); false when no entry is found.
    bool RebuildDirectory();
    // Obtains volume n (1-based) of a set through OnGetNextDisk, opens it in place of
    // the archive stream, and makes its name ZipName (without freeing the directory).
    // EUserCanceled when the request is cancelled, EMissingVolume when the part
    // cannot be found.
    TLFNFileStream& OpenVolume(int n);
    // True unless, with mmSpan, the label of the volume holding path ends in three
    // digits other than n.
    bool CheckVolumeLabel(int n, const std::string& path) const;
    // Drains the message queue when DoProcessMessages and raises EUserCanceled
    // "User Aborted Operation" when cancel was asked meanwhile.
    void ProcessMessagesAndCheckCancel();
    // Stores a name without the setter's side effects (the directory stays).
    void AssignZipName(const std::string& name) { zipName_ = name; }
    // Records the open archive's stamp as the one its directory was read from.
    void RecordArchiveStamp();

    TSortedZip* Directory() const { return directory_.get(); }
    // The view in SortMode order (the directory itself for ByNone); null without one.
    TSortedZip* View() const { return sortedView_ ? sortedView_.get() : directory_.get(); }
    const std::shared_ptr<TZipHeaderInfo>& EntryPtr(int index) const;

    static constexpr std::size_t FileBufferSize = kZipBufferSize;

    TZipHeaderInfo scratchEntry_;               // the entry being extracted
    std::unique_ptr<TSortedZip> directory_;     // owns the entries, stored order
    std::unique_ptr<TSortedZip> sortedView_;    // another order, or none
    std::optional<FileStamp> recordedStamp_;    // of the file the directory came from
    bool rebuilt_ = false;                      // directory rebuilt from local headers
    bool rebuildTried_ = false;                 // in the running read
    int currentVolume_ = 0;                     // 0-based
    std::unique_ptr<TLFNFileStream> zipStream_; // the open archive or volume
    TEndCentral endCentral_;
    bool selectedOnly_ = false; // ExtractSelectedEntries running
    bool cancel_ = false;
    std::int64_t totalBytes_ = 0; // of the running extraction
    std::int64_t bytesWritten_ = 0;

private:
    friend class ZipDirectoryReader;
    friend class ZipExtractor;

    void initDefaults();
    // Runs read on the opened archive, closing it afterwards for a single archive.
    std::string readFromArchive(const std::function<std::string(Stream&)>& read);

    std::unique_ptr<UiHost> ownedUi_;
    std::unique_ptr<VolumeService> ownedVolumes_;
    UiHost* ui_ = nullptr;
    VolumeService* volumes_ = nullptr;

    std::string zipName_;
    std::string destDir_;
    std::string rootDir_;
    TZipSortMode sortMode_ = TZipSortMode::ByNone;
    bool recreateDirs_ = false;
    TUZOverwriteMode overwriteMode_ = TUZOverwriteMode::Prompt;
    std::vector<std::string> filesList_;
    bool doAll_ = false;
    TIncompleteZipMode incompleteZipMode_ = TIncompleteZipMode::izAssumeMulti;
    bool keepZipOpen_ = false;
    bool doProcessMessages_ = true;
    bool retainAttributes_ = true;
    int extractThreads_ = DefaultExtractThreads();
    bool replaceReadOnly_ = false;
    bool flushFilesOnClose_ = false;
    std::string password_;
    TMultiMode multiMode_ = TMultiMode::mmNone;
    bool checkDiskLabels_ = true;
    std::vector<TExtractFailure> extractFailures_;
    std::optional<FileStamp> extractedStamp_; // of the entry being extracted
};

} // namespace kd
