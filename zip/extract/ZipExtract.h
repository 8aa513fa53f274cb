#pragma once
#include <sys/types.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/UniqueFd.h"
#include "zip/base/ThreadPool.h"
#include "zip/decompress/Decompressor.h"
#include "zip/extract/ArchiveReadAt.h"
#include "zip/extract/EntryAttributes.h"
#include "zip/extract/EntryBounds.h"
#include "zip/extract/EntryInput.h"
#include "zip/extract/ExtractDirectories.h"
#include "zip/extract/ExtractPath.h"
#include "zip/extract/ExtractTarget.h"
#include "zip/extract/ExtractTempFile.h"
#include "zip/format/ZipCrypt.h"
#include "zip/reader/TZipReader.h"

namespace kd {

// An entry that cannot be extracted whatever the password: its records are damaged
// (no local header where the directory points, an encrypted entry shorter than its
// encryption header), its data overlap another entry, or reading or writing its data
// failed. It ends that entry only.
class EDamagedEntry : public Exception {
public:
    explicit EDamagedEntry(const std::string& message,
                           TExtractProblem problem = TExtractProblem::Other)
        : Exception(message), problem_(problem) {}
    TExtractProblem Problem() const { return problem_; }

private:
    TExtractProblem problem_;
};

// One extraction run of a TZipReader whose archive is open: chooses the entries,
// fires the events in their order, and extracts each chosen entry below the
// destination. Buffers and decoders live as long as the run.
class ZipExtractor {
public:
    explicit ZipExtractor(TZipReader& zip);
    ~ZipExtractor();

    // Returns the number of entries extracted. OnUnZipComplete fires and FilesList is
    // emptied also when an exception ends the run.
    int Run();

private:
    // Where an entry's data begins: the volume (0-based) and the offset on it.
    struct DataStart {
        int volume = 0;
        std::int64_t offset = 0;
    };
    // What an entry's local header tells: where its data begin, and the exact time
    // its extra field names (the time extracted files get, as with other tools).
    struct LocalHeader {
        DataStart data;
        std::optional<std::int64_t> modified;
    };

    // --- The run (ZipExtract.cpp) ---
    void extractChosen();
    void finishRun();
    // Gives the directories of directory entries their mode and time; failures count
    // when report (the run went to its end).
    void finishDirectories(bool report);
    void openDestination();
    // Marks the chosen entries; returns their number of files and their total size.
    int chooseEntries(std::int64_t& totalBytes);

    // --- One entry (ZipExtractEntry.cpp) ---
    void extractOneEntry(int index);
    // Both take the time of the entry's local header into entry.
    void extractDirectoryEntry(int index, TZipHeaderInfo& entry);
    void extractFile(int index, TZipHeaderInfo& entry);
    // The target the events settled on; nullopt (reported) when it cannot be used.
    std::optional<ExtractTarget> openTarget(int index, const ExtractPath& path,
                                            const std::string& proposed, const std::string& fName);
    // Applies the overwrite mode; the prompt handler may move the target.
    // existing is what is at the target when writing is allowed (nullopt: nothing).
    bool mayWrite(int index, const TZipHeaderInfo& entry, std::optional<ExtractTarget>& target,
                  std::optional<ExtractTarget::Existing>& existing);
    // ECreateTargetFailed when the handler's new target cannot be made.
    bool promptOverwrite(int index, const TZipHeaderInfo& entry,
                         std::optional<ExtractTarget>& target);
    // Putting a decoded file in place (on any thread), and telling how it went; the
    // last two decide whether it goes over a file found there.
    struct PlaceSettings {
        bool retainAttributes;
        mode_t newFileMode;
        bool flush;
        TUZOverwriteMode overwriteMode;
        bool replaceReadOnly;
    };
    struct Placed {
        bool done = false;
        TSkipReason reason = TSkipReason::srCreateFailed; // when not done
        std::string problem;
        TExtractProblem kind = TExtractProblem::Other;
        std::optional<FileStamp> stamp; // of the file put in place, when known
    };
    static Placed place(ExtractTempFile& temp, const TZipHeaderInfo& entry,
                        const std::optional<ExtractTarget::Existing>& existing,
                        const PlaceSettings& settings);
    PlaceSettings placeSettings() const;
    // The bits of the file extracted over existing (nullopt: a new file).
    mode_t placedMode(const TZipHeaderInfo& entry,
                      const std::optional<ExtractTarget::Existing>& existing) const;
    void reportPlaced(int index, const ExtractTarget& target, const Placed& placed);
    // Removes what killed runs left in the target's directory, once a run.
    void sweepOnce(const ExtractTarget& target);
    // OnSkippingFile, the entry's size off the total, and (unless the file was kept by
    // choice) a failure.
    void skip(int index, TSkipReason reason, const std::string& fName, const std::string& problem,
              TExtractProblem kind = TExtractProblem::Other);
    // An entry refused whatever the password (EDamagedEntry).
    void damaged(int index, const TZipHeaderInfo& entry, const EDamagedEntry& damage);
    // The data did not check out: a new password from OnBadPassword retries the entry,
    // else the entry is reported.
    void badData(int index, const TZipHeaderInfo& entry, std::uint32_t crc,
                 const std::string& problem, bool passwordMayBeWrong);
    void recordFailure(int index, const std::string& problem,
                       TExtractProblem kind = TExtractProblem::Other);
    // Fires OnBadPassword; true when it gave a different password (now Password).
    bool askNewPassword(int index);

    // --- Entries decoded ahead by workers (ZipExtractParallel.cpp) ---
    // A worker inflates a chosen entry into a file of its own before the calling
    // thread reaches it, recording the progress it would have reported; an entry
    // whose target holds a file that the overwrite mode keeps, or asks about, it
    // leaves undecoded. At the entry's turn the calling thread asks every question as
    // on one thread and then puts the worker's file in place, or, when there is none
    // or it cannot be used, extracts the entry itself. Nothing a worker does is seen
    // before the entry's turn.
    struct Job;
    struct Decoded {
        std::string problem; // empty: the data check out
        std::uint32_t crc = 0;
        bool outOfMemory = false;
    };
    bool parallel() const { return threads_ > 1; }
    bool repeatedAt(std::size_t position) const {
        return position < repeated_.size() && repeated_[position];
    }
    // Hands the entries after position in order_ to workers, as far as the bounds of
    // work in flight allow.
    void lookAhead(std::size_t position);
    // Lists the jobs lookAhead hands out; returns the workers' tasks for them.
    std::vector<std::function<void()>> listJobs(const TSortedZip* view, std::size_t maxJobs);
    // A job for entry index, its data found from its local header in this volume.
    std::unique_ptr<Job> newJob(int index, const TZipHeaderInfo& entry);
    // Starts the large entries some way beyond the window, each a task of its own.
    void startLargeAhead(const TSortedZip* view);
    // Lets go of entries started early that the run has passed.
    void retireEarly();
    // The job of entry index when one was started (the jobs before it are dropped);
    // it lives until the next entry's turn or until finishJob.
    Job* takeJob(int index);
    // Where the job's worker found the entry's data; nullopt, with the job dropped,
    // when it did not (the calling thread then looks itself and tells why).
    std::optional<LocalHeader> jobData(Job& job);
    // How finishJob left an entry.
    enum class JobEnd {
        Done,      // the file is in place, or the entry's failure told
        Itself,    // the file cannot be used: the calling thread extracts the entry
        LookFirst, // (whereFree only) nothing done: a file has the name, or may have
    };
    // Puts the job's file in place with the events of the entry's data (nothing is
    // reported unless Done). proposed tells that the target is the entry's own place
    // below the destination. whereFree, before the target is looked at: only a
    // usable file, and only under a name no file has.
    JobEnd finishJob(int index, const TZipHeaderInfo& entry, Job& job, const ExtractTarget& target,
                     bool proposed, const std::optional<ExtractTarget::Existing>& existing,
                     bool whereFree = false);
    void waitFor(Job& job);
    // Waits until the job is done or, with located, until its worker has looked for
    // the entry's data.
    void waitFor(Job& job, bool located);
    // Lets a worker close the files of a job whose file is in place.
    void dispose(std::unique_ptr<Job> job);
    // A task closing the files of the jobs in spent_, which it takes.
    std::function<void()> spentTask();
    // Fires the events of the job's chunks and progress from step on.
    void replay(const Job& job, std::size_t step);
    // Tells the outcome of a job whose data did not check out, as on one thread.
    void reportFailedJob(int index, const TZipHeaderInfo& entry, const Job& job,
                         const ExtractTarget& target,
                         const std::optional<ExtractTarget::Existing>& existing);
    // The worker's part of a job.
    void decodeAhead(Job& job, int archive, const std::string& archiveName,
                     const PlaceSettings& settings);
    // Makes the job's path and finds its data (read through stream), and tells the
    // calling thread.
    void locate(Job& job, ArchiveReadAt& stream) const;
    // Looks a target's name up in its directory (known by directory), for the cache
    // alone; false when the calling thread kept linking files in there meanwhile.
    bool warmLookup(int dirFd, const std::string& name, std::size_t directory,
                    std::optional<ExtractTarget::Existing>* found = nullptr);
    // What is at a target (looked up as warmLookup does, when it can).
    std::optional<ExtractTarget::Existing> lookUpTarget(int dirFd, const std::string& name,
                                                        std::size_t directory);
    // Marks the entries of order_ whose target an earlier one takes too (repeated_).
    void findRepeatedTargets();
    // Links the job's file in beside the target (ExtractTempFile::Stage, or
    // StageWhereFree) while no worker looks a name up in its directory (any directory
    // when not known).
    bool stageAlone(Job& job, const ExtractTarget& target, std::size_t directory,
                    bool whereFree);
    // When the walk to target made its directory, has the names of the entries ahead
    // in the same directory looked up there (path is where target is below the
    // destination).
    void warmAhead(const ExtractTarget& target, const ExtractPath& path);
    // Decodes a located job's entry (with the time of its local header) into a file
    // of its own, unless the file at its target looks to stay.
    void decodeLocated(Job& job, const TZipHeaderInfo& entry, ArchiveReadAt& stream,
                       const PlaceSettings& settings);
    // True for an entry a worker may decode: a file of a known method, not encrypted.
    static bool decodableAhead(const TZipHeaderInfo& entry);
    // Stops the workers at once; the entries in flight are dropped with their files.
    void stopWorkers();

    // The outcome of a decoded entry as the run tells it (ZipExtractEntry.cpp).
    void finishDecoded(int index, const TZipHeaderInfo& entry, std::optional<ExtractTempFile>& temp,
                       const ExtractTarget& target,
                       const std::optional<ExtractTarget::Existing>& existing,
                       const Decoded& decoded);

    // --- Data (ZipExtractData.cpp) ---
    bool spanned() const;
    Stream& positionAt(const DataStart& at);
    EntryInput openInput(const TZipHeaderInfo& entry, const DataStart& at);
    // Reads the local header with its extra field; EDamagedEntry when there is none,
    // or when the entry's header or data overlap another entry.
    LocalHeader locateData(const TZipHeaderInfo& entry);
    // The same from stream, standing at the entry's local header (found at header);
    // reads nothing but stream and the directory, so any thread may call it.
    LocalHeader dataBehindHeader(Stream& stream, const TZipHeaderInfo& entry,
                                 const DataStart& header) const;
    // With stream at the local header of a small entry, reads the header, the name,
    // the extra field and the data (as far as the directory tells their sizes) into
    // window at once.
    static void readSmallEntryAhead(ArchiveReadAt& stream, const TZipHeaderInfo& entry,
                                    std::vector<std::uint8_t>& window);
    // The password candidates whose check byte matches, asking OnBadPassword for new
    // passwords; nullopt when none is found.
    std::optional<std::vector<std::string>> checkPassword(int index, const TZipHeaderInfo& entry,
                                                          const DataStart& at);
    // Decodes the entry into temp; empty on success, else what was wrong (crc then
    // holds the CRC of what was produced). EDamagedEntry when the archive ends inside
    // the data the decoder needs, or when the file cannot be written.
    Decoded decode(const TZipHeaderInfo& entry, const DataStart& at, const std::string& password,
                   ExtractTempFile& temp, const std::string& shownName);
    // The progress events of an entry that has written bytes of its data.
    void reportProgress(const TZipHeaderInfo& entry, std::int64_t writtenBefore,
                        std::uint64_t written);
    // The decoding itself, on any thread: input is positioned at the data, fd is the
    // file written; helpers, when given, inflate with the thread.
    static Decoded decodeInto(Decompressor& decompressor, ZipCrypt& crypt,
                              std::vector<std::uint8_t>& buffer, EntryInput& input,
                              const TZipHeaderInfo& entry, const std::string& password, int fd,
                              const std::string& shownName,
                              std::function<void(std::uint64_t)> onFlushed,
                              const InflateHelpers& helpers = {});

    TZipReader& zip_;
    Decompressor decompressor_;
    ZipCrypt crypt_;
    std::vector<std::uint8_t> outputBuffer_;
    ExtractDirectories directories_;
    const mode_t newFileMode_ = NewFileMode(); // under the umask as the run starts
    std::shared_ptr<const UniqueFd> dest_;
    std::vector<std::uint8_t> aheadWindow_; // what readAt_ read ahead
    std::optional<ArchiveReadAt> readAt_;   // the archive read by position (one volume)
    CloseCheck closeCheck_;                 // of the files made on this thread
    DirectoryChain walked_{true};           // the directories of the last target, open
    std::shared_ptr<const UniqueFd> lastSwept_;
    const int threads_;
    std::vector<int> order_;    // the entries the run goes through, in order
    // By position in order_: an earlier entry has the same target (the overwrite mode
    // decides that entry only once the earlier one is in place). Empty when the
    // mode replaces every file anyway.
    std::vector<bool> repeated_;
    std::size_t nextAhead_ = 0; // the first entry of order_ not yet looked at for a job
    std::uint64_t bytesAhead_ = 0;
    std::deque<std::unique_ptr<Job>> jobs_;   // in entry order
    std::vector<std::unique_ptr<Job>> early_; // large entries beyond jobs_, in entry order
    std::size_t earlyScanned_ = 0;            // order_ is looked at for them up to here
    std::unique_ptr<Job> current_;            // the job of the entry being extracted
    std::vector<std::unique_ptr<Job>> spent_; // placed, their files still open
    std::optional<bool> aheadAllowed_;        // the destination takes unnamed files
    std::atomic<bool> stopping_{false};
    // A worker inflates an entry with the others' help: one entry at a time, so that
    // the memory it takes stays bounded.
    std::atomic<bool> inflateHelped_{false};
    // The directory the calling thread links a file into (0: none), and the workers
    // looking a name up, counted by directory (directories share a count at random).
    std::atomic<std::size_t> linkingIn_{0};
    struct alignas(64) LookCount {
        std::atomic<int> workers{0};
    };
    std::array<LookCount, 64> looking_;
    // The directories this run has made, as far as the workers are told.
    std::atomic<std::size_t> dirsMade_{0};
    std::size_t madeSeen_ = 0;  // the directories made when last warmed
    std::size_t position_ = 0;  // the entry of order_ being extracted
    // The workers as their tasks see them: set before any task is handed out, and
    // left alone while the pool is stopped (a worker may still hand out help then).
    ThreadPool* workers_ = nullptr;
    std::unique_ptr<ThreadPool> pool_; // last: stopped before the rest goes
    std::string destShown_;            // DestDir as given ("" for the current directory)
    TZipSortMode savedSort_ = TZipSortMode::ByNone;
    bool sortSwitched_ = false;
    bool retry_ = false;
    int extracted_ = 0;
    std::set<std::pair<dev_t, ino_t>> swept_; // directories swept in this run
};

} // namespace kd
