// Entries decoded ahead on worker threads. A worker writes a chosen entry into an
// unnamed file of the destination's file system, checks its data and gives it its
// time, recording each chunk it read and each progress step it would have reported.
// The calling thread goes through the entries in order exactly as on one thread; at
// an entry's turn it links the worker's file into place and replays the recorded
// steps, or extracts the entry itself when the file cannot be used.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "zip/extract/OverwriteRule.h"
#include "zip/extract/ZipExtract.h"

namespace kd {

namespace {

// Entries decoded ahead per worker, and their data on disk (beyond one entry):
// bound the descriptors and the disk space a run holds ahead of its turn. (A wider
// window of small files only slows the file system down.)
constexpr std::size_t kJobsPerWorker = 16;
constexpr std::size_t kMaxJobs = 128;
constexpr std::uint64_t kBytesAhead = 64u << 20;
// A large entry takes a worker long enough that it is started well before the window
// reaches it (as far as this many entries further on), so that it is ready at its turn.
constexpr std::uint64_t kLargeEntry = 1u << 20;
constexpr std::size_t kLargeReach = 4096;
// An entry compressed to this many bytes is inflated by several workers.
constexpr std::uint64_t kHelpedInflate = 1u << 20;
// How long a worker waits for the calling thread to finish linking a file in: pauses
// on the core, then as many turns given up.
constexpr int kLinkingPauses = 256;
constexpr int kLinkingSpins = 200;
// How long the calling thread spins for a worker's look before it yields.
constexpr int kLookSpins = 1000;
// Jobs and compressed bytes of a batch that make it worth another worker.
constexpr std::size_t kJobsPerTask = 4;
constexpr std::uint64_t kBytesPerTask = 256u << 10;
// Jobs done with, closed by a worker in batches: the calling thread saves the calls.
constexpr std::size_t kSpentBatch = 64;
// How often the calling thread, waiting for a worker, looks at its messages.
constexpr std::chrono::milliseconds kPollInterval{50};
// Entries looked at ahead for names to look up in a directory just made, and the
// entries in a row elsewhere that end the search.
constexpr std::size_t kWarmAhead = 512;
constexpr std::size_t kWarmElsewhere = 256;
// Names fewer than this are left to the calling thread.
constexpr std::size_t kWarmLeast = 8;
// Names one worker looks up of those.
constexpr std::size_t kWarmChunk = 32;
// A recorded step that is a chunk read (others are the bytes written so far).
constexpr std::int64_t kChunkRead = -1;
// The directory of a target not below the destination's entry paths.
constexpr std::size_t kAnyDirectory = SIZE_MAX;

// Tells the core that this thread spins, for a few cycles.
void pauseBriefly() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Thrown inside a worker when the run stops.
class EWorkerStopped : public Exception {
public:
    EWorkerStopped() : Exception("Stopped") {}
};

// Where a worker makes an entry's file: as near its target as exists already, where
// a file system places such files best (and where the target's own file would be
// made); base when nothing of the way exists. complete tells that it is the target's
// own directory.
struct NearDirectory {
    std::shared_ptr<const UniqueFd> dir;
    bool complete = false;
    bool closeMayFail = true; // CloseMayFail of dir
    bool madeByRun = false;   // complete, and a directory the run made itself
};

// The way to the last file's directory stays open for the next file of the same
// directory, as far as it exists. A way that ends early is walked on from where it
// ended only once made (the count of the directories the run has made) has changed
// since: until then the missing directory is still missing, unless another program
// made it, which only puts the file a little further from its target. Nothing is
// followed through a symbolic link.
NearDirectory nearDirectory(const std::shared_ptr<const UniqueFd>& base,
                            const std::vector<std::string>& dirs, std::size_t made,
                            const DirectoryChain& chain) {
    struct Near {
        std::vector<std::string> dirs;
        std::shared_ptr<const UniqueFd> fd; // dirs up to depth; none: base
        std::size_t depth = 0;
        std::size_t made = 0; // the count when last walked
        CloseCheck closeCheck;
        std::optional<bool> madeByRun; // of fd, once complete
    };
    thread_local Near near; // lives as long as the worker, which serves one run
    const bool again = near.dirs == dirs;
    if (!again) {
        near.dirs = dirs;
        near.fd.reset();
        near.madeByRun.reset();
        near.depth = 0;
    }
    if (!again || (near.depth < dirs.size() && near.made != made)) {
        near.made = made;
        for (; near.depth < dirs.size(); ++near.depth) {
            const int fd =
                ::openat(near.fd ? near.fd->get() : base->get(), dirs[near.depth].c_str(),
                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0)
                break;
            near.fd = std::make_shared<const UniqueFd>(fd);
            near.madeByRun.reset();
        }
    }
    NearDirectory found;
    found.dir = near.fd ? near.fd : base;
    found.complete = near.depth == dirs.size();
    found.closeMayFail = near.closeCheck.MayFail(found.dir);
    // Asked once per directory: a directory the run made held nothing of its own, so
    // its targets need no look. (One found before the chain noted it is looked in as
    // any other.)
    if (found.complete && near.fd && !near.madeByRun) {
        struct stat st {};
        near.madeByRun = ::fstat(near.fd->get(), &st) == 0 && chain.Made(st.st_dev, st.st_ino);
    }
    found.madeByRun = found.complete && near.fd && near.madeByRun.value_or(false);
    return found;
}

// A directory below the destination as the key of its look-up counts (never 0 or
// kAnyDirectory). Two directories may share a key: that only makes the calling
// thread wait for a look it need not wait for.
std::size_t directoryKey(const std::vector<std::string>& dirs) {
    std::size_t key = dirs.size();
    for (const std::string& dir : dirs)
        key = key * 1000003u ^ std::hash<std::string>{}(dir);
    return key == 0 || key == kAnyDirectory ? 1 : key;
}

// Whether the overwrite mode has an entry written over what its target's look found,
// as far as that tells (a question is answered only at the entry's turn).
bool writtenOver(const TZipHeaderInfo& entry,
                 const std::optional<ExtractTarget::Existing>& existing, TUZOverwriteMode mode,
                 bool replaceReadOnly) {
    return !existing || (AnswerOfMode(mode, entry, *existing) == OverwriteAnswer::Replace &&
                         !KeptAsReadOnly(*existing, replaceReadOnly));
}

// A worker's decoder state, kept for the thread's life.
struct WorkerTools {
    Decompressor decompressor;
    ZipCrypt crypt;
    std::vector<std::uint8_t> buffer;
    std::vector<std::uint8_t> ahead; // an entry read ahead
};

WorkerTools& workerTools() {
    thread_local WorkerTools tools;
    return tools;
}

} // namespace

struct ZipExtractor::Job {
    Job(int i, const TZipHeaderInfo& e, const DataStart& h, std::string_view root, bool recreate)
        : index(i), entry(e), header(h), rootDir(root), recreateDirs(recreate) {}

    enum class Outcome {
        Usable,  // file holds the checked data
        BadData, // decoded tells what is wrong
        Damaged, // damage is the entry's failure
        Kept,    // not decoded: the file at the target looks to stay (or is asked about)
        Redo,    // the calling thread extracts the entry itself
    };

    const int index;
    const TZipHeaderInfo entry;
    const DataStart header;    // where the entry's local header is
    const std::string rootDir; // what the target's path is made with
    const bool recreateDirs;
    // Set by the worker; read by the calling thread once located (local) or done.
    std::optional<LocalHeader> local;      // where the entry's data begin, when found
    std::optional<ExtractPath> path;       // where it goes below the destination, unless moved
    std::size_t directory = kAnyDirectory; // the key of the path's directory
    Outcome outcome = Outcome::Redo;
    std::optional<ExtractTempFile> file; // only when usable
    std::vector<std::int64_t> steps;
    Decoded decoded;
    std::exception_ptr damage;
    mode_t mode = 0;                // the permission bits the file has
    std::optional<FileStamp> stamp; // the file's, as sealed
    bool diskFull = false;          // the disk did not take the data
    std::mutex mutex;
    std::condition_variable finished;
    bool located = false; // the worker looked for the data
    bool done = false;
    bool early = false; // started before the window reached it
};

ZipExtractor::ZipExtractor(TZipReader& zip)
    : zip_(zip), threads_(zip.endCentral_.ThisDisk != 0 ? 1 : zip.ExtractThreads()) {}

ZipExtractor::~ZipExtractor() {
    stopWorkers();
}

std::optional<ZipExtractor::LocalHeader> ZipExtractor::jobData(Job& job) {
    waitFor(job, true);
    if (job.local)
        return job.local; // set before located, never changed after
    waitFor(job);
    current_.reset();
    return std::nullopt;
}

void ZipExtractor::lookAhead(std::size_t position) {
    if (!aheadAllowed_) {
        // Named temporary files would stand in the destination meanwhile, and a
        // killed run would leave them where no sweep of a target's directory finds
        // them: such file systems get every entry on the calling thread.
        try {
            aheadAllowed_ = !ExtractTempFile(dest_, destShown_).Named();
        } catch (const Exception&) {
            aheadAllowed_ = false;
        }
    }
    if (!*aheadAllowed_)
        return;
    nextAhead_ = std::max(nextAhead_, position);
    retireEarly();
    const std::size_t maxJobs =
        std::min(kMaxJobs, kJobsPerWorker * static_cast<std::size_t>(threads_));
    // Topped up by halves, so that the workers are woken once for many entries.
    if (jobs_.size() > maxJobs / 2 && bytesAhead_ < kBytesAhead / 2)
        return;
    const TSortedZip* view = zip_.View();
    const std::size_t listedBefore = jobs_.size();
    std::vector<std::function<void()>> tasks;
    try {
        tasks = listJobs(view, maxJobs);
    } catch (...) {
        // A job no worker runs would be waited for without end; one started early
        // goes back where it came from.
        while (jobs_.size() > listedBefore) {
            std::unique_ptr<Job> job = std::move(jobs_.back());
            jobs_.pop_back();
            if (job->early) // back in its place, within the room kept for it
                early_.insert(std::lower_bound(
                                  early_.begin(), early_.end(), job,
                                  [](const auto& a, const auto& b) { return a->index < b->index; }),
                              std::move(job));
            else
                bytesAhead_ -= job->entry.UncompressedSize;
        }
        throw;
    }
    if (!tasks.empty())
        pool_->Submit(std::move(tasks)); // the workers woken once for the lot
    startLargeAhead(view);
}

std::vector<std::function<void()>> ZipExtractor::listJobs(const TSortedZip* view,
                                                          std::size_t maxJobs) {
    // The new jobs go to the workers as one batch, which they take job by job in
    // order: the pool's queue is locked once per worker, not once per entry.
    struct Batch {
        std::vector<Job*> jobs;
        std::atomic<std::size_t> next{0};
    };
    auto batch = std::make_shared<Batch>();
    while (nextAhead_ < order_.size() && jobs_.size() < maxJobs &&
           (jobs_.empty() || bytesAhead_ < kBytesAhead)) {
        const int index = order_[nextAhead_++];
        if (!early_.empty() && early_.front()->index == index) {
            jobs_.push_back(std::move(early_.front())); // a worker has it already
            early_.erase(early_.begin());
            continue;
        }
        const TZipHeaderInfo& entry = *view->Get(index);
        if (!decodableAhead(entry) || repeatedAt(nextAhead_ - 1))
            continue;
        if (!pool_) {
            try {
                pool_ = std::make_unique<ThreadPool>(threads_);
                workers_ = pool_.get();
                early_.reserve(static_cast<std::size_t>(threads_));
            } catch (const std::system_error&) {
                aheadAllowed_ = false; // no threads to be had: all on this one
                return {};
            }
        }
        jobs_.push_back(newJob(index, entry));
        bytesAhead_ += entry.UncompressedSize;
        batch->jobs.push_back(jobs_.back().get());
    }
    std::vector<std::function<void()>> tasks;
    if (batch->jobs.empty())
        return tasks;
    // As many workers as the batch keeps busy: each one woken costs the calling
    // thread a wake-up and may take its core, which small files do not repay.
    std::uint64_t compressed = 0;
    for (const Job* job : batch->jobs)
        compressed += job->entry.CompressedSize;
    const std::size_t wanted = std::max((batch->jobs.size() + kJobsPerTask - 1) / kJobsPerTask,
                                        static_cast<std::size_t>(compressed / kBytesPerTask));
    const std::size_t workers =
        std::clamp<std::size_t>(wanted, 1, static_cast<std::size_t>(std::max(threads_, 1)));
    for (std::size_t w = 0; w < workers; ++w)
        tasks.emplace_back([this, batch, archive = zip_.zipStream_->Handle(),
                            name = zip_.zipStream_->FileName(), settings = placeSettings()] {
            for (std::size_t k; (k = batch->next.fetch_add(1)) < batch->jobs.size();)
                decodeAhead(*batch->jobs[k], archive, name, settings);
        });
    if (!spent_.empty()) // the files of jobs done with are closed by a worker too
        tasks.push_back(spentTask());
    return tasks;
}

std::unique_ptr<ZipExtractor::Job> ZipExtractor::newJob(int index, const TZipHeaderInfo& entry) {
    return std::make_unique<Job>(index, entry, DataStart{zip_.currentVolume_, entry.LocalOffset},
                                 zip_.RootDir(), zip_.RecreateDirs());
}

void ZipExtractor::startLargeAhead(const TSortedZip* view) {
    if (!pool_)
        return;
    // At most one per worker, within the bytes a run holds ahead.
    const auto room = static_cast<std::size_t>(threads_) - early_.size();
    std::vector<std::unique_ptr<Job>> started;
    std::vector<std::function<void()>> tasks;
    std::uint64_t bytes = bytesAhead_;
    earlyScanned_ = std::max(earlyScanned_, nextAhead_);
    const std::size_t reach = std::min(order_.size(), nextAhead_ + kLargeReach);
    for (; earlyScanned_ < reach && started.size() < room; ++earlyScanned_) {
        const int index = order_[earlyScanned_];
        const TZipHeaderInfo& entry = *view->Get(index);
        if (entry.UncompressedSize < kLargeEntry || !decodableAhead(entry) ||
            repeatedAt(earlyScanned_))
            continue;
        if (bytes + entry.UncompressedSize > kBytesAhead)
            break; // looked at again when the bytes ahead have gone down
        started.push_back(newJob(index, entry));
        started.back()->early = true;
        tasks.emplace_back([this, job = started.back().get(), archive = zip_.zipStream_->Handle(),
                            name = zip_.zipStream_->FileName(), settings = placeSettings()] {
            decodeAhead(*job, archive, name, settings);
        });
        bytes += entry.UncompressedSize;
    }
    if (started.empty())
        return;
    pool_->Submit(std::move(tasks));
    bytesAhead_ = bytes;
    for (auto& job : started) // in entry order, after those there; within the room kept
        early_.push_back(std::move(job));
}

void ZipExtractor::retireEarly() {
    // An entry started early that the run passed without the window reaching it (it
    // was extracted here, or left): its worker finishes, and its file goes.
    const int next = nextAhead_ < order_.size() ? order_[nextAhead_] : INT_MAX;
    while (!early_.empty() && early_.front()->index < next) {
        std::unique_ptr<Job> passed = std::move(early_.front());
        early_.erase(early_.begin());
        bytesAhead_ -= passed->entry.UncompressedSize;
        waitFor(*passed);
    }
}

void ZipExtractor::decodeLocated(Job& job, const TZipHeaderInfo& entry, ArchiveReadAt& stream,
                                 const PlaceSettings& settings) {
    const NearDirectory near = nearDirectory(dest_, job.path->Dirs, dirsMade_.load(), walked_);
    job.directory = directoryKey(job.path->Dirs);
    // Decided again at the entry's turn, as on one thread; an entry whose file stays
    // is then neither read nor written. (A target whose directory is missing, or was
    // made by this run, is free: a file that came there since is found at the link,
    // which never replaces one.)
    if (near.complete && !near.madeByRun &&
        !writtenOver(entry, lookUpTarget(near.dir->get(), job.path->Name, job.directory),
                     settings.overwriteMode, settings.replaceReadOnly)) {
        job.outcome = Job::Outcome::Kept;
        return;
    }
    // The bits of a new file; the calling thread changes them for a file replaced.
    job.mode =
        ExtractedFileMode(entry, std::nullopt, settings.retainAttributes, settings.newFileMode);
    job.file.emplace(near.dir, destShown_, near.closeMayFail, job.mode);
    WorkerTools& tools = workerTools();
    stream.Seek(job.local->data.offset, SeekOrigin::Begin);
    EntryInput input(stream, entry.CompressedSize,
                     [this, &job] {
                         if (stopping_)
                             throw EWorkerStopped();
                         job.steps.push_back(kChunkRead);
                     },
                     {});
    // A long entry is inflated with the other workers' help, when no other entry has it.
    const bool helped = entry.Method == 8 && entry.CompressedSize >= kHelpedInflate &&
                        !inflateHelped_.exchange(true);
    struct HelpHeld {
        std::atomic<bool>& flag;
        const bool held;
        ~HelpHeld() {
            if (held)
                flag = false;
        }
    } helpHeld{inflateHelped_, helped};
    InflateHelpers helpers;
    if (helped)
        helpers = {[pool = workers_](std::function<void()> task) {
                       pool->SubmitFirst(std::move(task));
                   },
                   static_cast<unsigned>(threads_ - 1)};
    job.decoded = decodeInto(
        tools.decompressor, tools.crypt, tools.buffer, input, entry, std::string(), job.file->Fd(),
        destShown_,
        [&job](std::uint64_t written) { job.steps.push_back(static_cast<std::int64_t>(written)); },
        helpers);
    if (job.decoded.problem.empty()) {
        job.stamp = job.file->Seal(EntryModifiedTime(entry), job.mode, settings.flush, destShown_);
        job.outcome = Job::Outcome::Usable;
    } else {
        job.outcome = Job::Outcome::BadData;
    }
}

bool ZipExtractor::warmLookup(int dirFd, const std::string& name, std::size_t directory,
                              std::optional<ExtractTarget::Existing>* found) {
    // The first lookup of a name a directory does not hold yet searches the directory,
    // and its result (also that there is no such file) stays cached for the calling
    // thread's own looks, which decide everything as before. The search shares the
    // directory's lock, which the calling thread takes alone while it links a file
    // in: so the two keep out of each other's way here rather than sleep on it. Looks
    // in other directories go on meanwhile. (Both sides announce themselves before
    // they look at the other, so that one of them always sees the other.)
    std::atomic<int>& looking = looking_[directory % looking_.size()].workers;
    const auto linkingHere = [this, directory] {
        const std::size_t linking = linkingIn_.load();
        return linking == directory || linking == kAnyDirectory;
    };
    for (int spin = 0; spin < kLinkingSpins; ++spin) {
        // A link takes a few microseconds: waited for on the core first, unannounced,
        // so that the calling thread does not wait for this one meanwhile.
        for (int pause = 0; pause < kLinkingPauses && linkingHere(); ++pause)
            pauseBriefly();
        looking.fetch_add(1);
        const std::size_t linking = linkingIn_.load();
        if (linking != directory && linking != kAnyDirectory) {
            auto existing = ExtractTarget::LookAt(dirFd, name);
            looking.fetch_sub(1);
            if (found)
                *found = std::move(existing);
            return true;
        }
        looking.fetch_sub(1);
        std::this_thread::yield();
    }
    return false;
}

std::optional<ExtractTarget::Existing>
ZipExtractor::lookUpTarget(int dirFd, const std::string& name, std::size_t directory) {
    std::optional<ExtractTarget::Existing> found;
    if (!warmLookup(dirFd, name, directory, &found))
        found = ExtractTarget::LookAt(dirFd, name); // needed all the same
    return found;
}

void ZipExtractor::findRepeatedTargets() {
    // A worker would look at such a target before the earlier entry is put there and
    // find it free. Names are compared by their hashes: two that merely share one are
    // decided at their turn too, which costs time, not a result.
    repeated_.clear();
    if (zip_.OverwriteMode() == TUZOverwriteMode::Always)
        return;
    const TSortedZip* view = zip_.View();
    const bool dirs = zip_.RecreateDirs(); // else all go straight into the destination
    const std::hash<std::string> hash;
    std::unordered_set<std::size_t> seen;
    seen.reserve(order_.size());
    repeated_.resize(order_.size());
    for (std::size_t k = 0; k < order_.size(); ++k) {
        const TZipHeaderInfo& entry = *view->Get(order_[k]);
        if (entry.FileName().empty())
            continue;
        const std::size_t key = hash(entry.FileName()) ^ (dirs ? hash(entry.Directory()) * 31 : 0);
        repeated_[k] = !seen.insert(key).second;
    }
}

void ZipExtractor::warmAhead(const ExtractTarget& target, const ExtractPath& path) {
    const std::size_t made = walked_.MadeCount();
    if (made == madeSeen_ || !parallel())
        return;
    madeSeen_ = made;
    dirsMade_.store(made); // the workers look for the new directories again
    // Most of a directory's entries are decoded before it exists, so their workers
    // could not look their names up there. Its files follow it, with its
    // subdirectories' files between them at times: a run of entries elsewhere ends
    // the list, so that a tree of many directories with few files costs little.
    const std::string& directory = zip_.scratchEntry_.Directory();
    const TSortedZip* view = zip_.View();
    std::vector<std::string> names;
    const std::size_t end = std::min(order_.size(), position_ + 1 + kWarmAhead);
    std::size_t elsewhere = 0;
    for (std::size_t k = position_ + 1; k < end && elsewhere < kWarmElsewhere; ++k) {
        const TZipHeaderInfo& next = *view->Get(order_[k]);
        if (next.FileName().empty() || next.Directory() != directory) {
            ++elsewhere;
            continue;
        }
        names.push_back(next.FileName());
        elsewhere = 0;
    }
    if (names.size() < kWarmLeast || !pool_)
        return; // not worth waking a thread for
    // Shared among the workers, ahead of their other tasks (the nearest names first):
    // looked up while the directory holds few files, each look is short, and the
    // calling thread meets them for a moment only rather than all the way through
    // the directory. The looks decide nothing: every decision rests on the calling
    // thread's own.
    auto shared = std::make_shared<const std::vector<std::string>>(std::move(names));
    const auto key = directoryKey(path.Dirs);
    std::vector<std::function<void()>> chunks;
    for (std::size_t from = 0; from < shared->size(); from += kWarmChunk)
        chunks.emplace_back([this, dir = target.Dir(), key, shared, from] {
            const std::size_t to = std::min(shared->size(), from + kWarmChunk);
            for (std::size_t k = from; k < to && !stopping_; ++k)
                warmLookup(dir->get(), (*shared)[k], key);
        });
    // Woken once: this thread, which links the files in, wakes no worker per chunk.
    pool_->SubmitFirst(std::move(chunks));
}

bool ZipExtractor::stageAlone(Job& job, const ExtractTarget& target, std::size_t directory,
                              bool whereFree) {
    struct Linking {
        std::atomic<std::size_t>& into;
        Linking(std::atomic<std::size_t>& in, std::size_t directory) : into(in) {
            into.store(directory);
        }
        ~Linking() { into.store(0); }
    } linking(linkingIn_, directory);
    // A worker's look that began first ends within microseconds: spun out before
    // the thread gives up its core.
    const auto lookingNow = [&] {
        if (directory != kAnyDirectory)
            return looking_[directory % looking_.size()].workers.load() > 0;
        return std::any_of(looking_.begin(), looking_.end(),
                           [](const LookCount& count) { return count.workers.load() > 0; });
    };
    for (int spin = 0; lookingNow(); ++spin) {
        if (spin < kLookSpins)
            pauseBriefly();
        else
            std::this_thread::yield();
    }
    return whereFree ? job.file->StageWhereFree(target) : job.file->Stage(target);
}

void ZipExtractor::decodeAhead(Job& job, int archive, const std::string& archiveName,
                               const PlaceSettings& settings) {
    try {
        if (stopping_)
            throw EWorkerStopped();
        ArchiveReadAt stream(archive, archiveName);
        locate(job, stream);
        // Otherwise the calling thread extracts the entry itself, or refuses it.
        if (job.local && job.path) {
            TZipHeaderInfo entry = job.entry;
            entry.TakeLocalTime(job.local->modified);
            decodeLocated(job, entry, stream, settings);
        }
    } catch (const EDamagedEntry& e) {
        job.diskFull = e.Problem() == TExtractProblem::WriteFailed;
        if (!job.diskFull) {
            job.outcome = Job::Outcome::Damaged;
            job.damage = std::current_exception();
        }
    } catch (const ECantWriteUCF&) {
        job.diskFull = true;
        job.outcome = Job::Outcome::Redo;
    } catch (...) {
        job.outcome = Job::Outcome::Redo;
    }
    if (job.outcome != Job::Outcome::Usable)
        job.file.reset();
    // Told under the lock: once the calling thread sees done it may destroy the job.
    const std::lock_guard lock(job.mutex);
    job.done = true;
    job.finished.notify_all();
}

ZipExtractor::Job* ZipExtractor::takeJob(int index) {
    if (current_) {
        waitFor(*current_); // its entry did not need it; its worker may still run
        current_.reset();
    }
    while (!jobs_.empty() && jobs_.front()->index <= index) {
        std::unique_ptr<Job> job = std::move(jobs_.front());
        jobs_.pop_front();
        bytesAhead_ -= job->entry.UncompressedSize;
        if (job->index == index) {
            current_ = std::move(job);
            return current_.get();
        }
        waitFor(*job); // an entry passed by: its worker must be done with it
    }
    return nullptr;
}

void ZipExtractor::locate(Job& job, ArchiveReadAt& stream) const {
    std::optional<LocalHeader> local;
    auto path = MakeExtractPath(job.entry.FullName(), job.rootDir, job.recreateDirs);
    if (path) {
        try {
            stream.Seek(job.header.offset, SeekOrigin::Begin);
            readSmallEntryAhead(stream, job.entry, workerTools().ahead);
            local = dataBehindHeader(stream, job.entry, job.header);
        } catch (const Exception&) {
            // Told at the entry's turn, when the calling thread looks again.
        }
    }
    const std::lock_guard lock(job.mutex);
    job.local = local;
    job.path = std::move(path);
    job.located = true;
    job.finished.notify_all();
}

void ZipExtractor::waitFor(Job& job) {
    waitFor(job, false);
}

void ZipExtractor::waitFor(Job& job, bool located) {
    std::unique_lock lock(job.mutex);
    while (!job.finished.wait_for(
        lock, kPollInterval, [&job, located] { return job.done || (located && job.located); })) {
        lock.unlock();
        zip_.ProcessMessagesAndCheckCancel(); // may end the run
        lock.lock();
    }
}

void ZipExtractor::replay(const Job& job, std::size_t step) {
    const std::int64_t before = zip_.bytesWritten_;
    for (; step < job.steps.size(); ++step) {
        if (job.steps[step] == kChunkRead)
            zip_.ProcessMessagesAndCheckCancel();
        else
            reportProgress(job.entry, before, static_cast<std::uint64_t>(job.steps[step]));
    }
}

ZipExtractor::JobEnd ZipExtractor::finishJob(int index, const TZipHeaderInfo& entry, Job& job,
                                             const ExtractTarget& target, bool proposed,
                                             const std::optional<ExtractTarget::Existing>& existing,
                                             bool whereFree) {
    waitFor(job);
    if (whereFree && job.outcome != Job::Outcome::Usable)
        return JobEnd::LookFirst;
    switch (job.outcome) {
    case Job::Outcome::Usable:
        break;
    case Job::Outcome::BadData:
    case Job::Outcome::Damaged:
        reportFailedJob(index, entry, job, target, existing);
        return JobEnd::Done;
    case Job::Outcome::Kept:
    case Job::Outcome::Redo:
        // On a full disk the files decoded ahead go first, to leave the entry room.
        if (job.diskFull)
            stopWorkers();
        current_.reset();
        return JobEnd::Itself;
    }
    const mode_t mode = placedMode(entry, existing);
    std::size_t step = 0;
    try {
        if (mode != job.mode)
            job.file->SetMode(mode, target.Path());
        // The check before the first chunk comes first: a cancel pending now leaves
        // the target's directory as it is.
        if (!job.steps.empty() && job.steps[0] == kChunkRead) {
            zip_.ProcessMessagesAndCheckCancel();
            step = 1;
        }
        // What keeps the file from the target's directory (another file system, no
        // permission) lets the entry run as on one thread, which tells it; a name
        // taken is looked at first.
        if (!stageAlone(job, target, proposed ? job.directory : kAnyDirectory, whereFree)) {
            if (whereFree)
                return JobEnd::LookFirst;
            current_.reset();
            return JobEnd::Itself;
        }
    } catch (const ECantWriteUCF&) {
        current_.reset();
        return JobEnd::Itself;
    } catch (const ECreateTargetFailed&) {
        current_.reset();
        return JobEnd::Itself;
    }
    try {
        replay(job, step);
        job.file->Publish(target);
    } catch (const ECreateTargetFailed& e) {
        current_.reset();
        skip(index, TSkipReason::srCreateFailed, target.Path(), e.what());
        return JobEnd::Done;
    } catch (...) {
        current_.reset(); // takes the staged file away while its directory is open
        throw;
    }
    Placed placed;
    placed.done = true;
    placed.stamp = current_->stamp;
    dispose(std::move(current_));
    reportPlaced(index, target, placed);
    return JobEnd::Done;
}

void ZipExtractor::reportFailedJob(int index, const TZipHeaderInfo& entry, const Job& job,
                                   const ExtractTarget& target,
                                   const std::optional<ExtractTarget::Existing>& existing) {
    // As on one thread: the file is made beside the target, the data's events come,
    // and the file goes with the failure.
    std::optional<ExtractTempFile> temp;
    try {
        temp.emplace(target, closeCheck_.MayFail(target.Dir()));
    } catch (const ECreateTargetFailed& e) {
        skip(index, TSkipReason::srCreateFailed, target.Path(), e.what());
        return;
    }
    replay(job, 0);
    if (job.damage) {
        temp.reset();
        std::rethrow_exception(job.damage);
    }
    if (job.decoded.outOfMemory)
        zip_.Ui().messageBox(job.decoded.problem, std::string(kTextError), MsgButtons::Ok,
                             MsgIcon::Error);
    finishDecoded(index, entry, temp, target, existing, job.decoded);
}

void ZipExtractor::dispose(std::unique_ptr<Job> job) {
    spent_.push_back(std::move(job));
    // They go with the next jobs handed out, or on their own when none come.
    if (spent_.size() >= kSpentBatch && pool_)
        pool_->Submit(spentTask());
}

std::function<void()> ZipExtractor::spentTask() {
    // std::function wants a task it can copy.
    auto batch = std::make_shared<std::vector<std::unique_ptr<Job>>>(std::move(spent_));
    spent_.clear();
    return [batch] { batch->clear(); };
}

void ZipExtractor::stopWorkers() {
    stopping_ = true;
    pool_.reset(); // drops what has not started, waits for what runs
    jobs_.clear();
    early_.clear();
    spent_.clear();
    current_.reset();
    bytesAhead_ = 0;
    stopping_ = false;
}

} // namespace kd
