// Entries inflated, written and put in place on worker threads. The calling thread
// asks every question before handing an entry over, and reports the outcomes
// (events, failures) in entry order.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "zip/extract/ZipExtract.h"

namespace kd {

namespace {

// Entries in flight per worker: bounds the memory and descriptors a run holds.
constexpr std::size_t kJobsPerWorker = 4;
// How often the calling thread, waiting for a worker, looks at its messages.
constexpr std::chrono::milliseconds kPollInterval{50};

// Thrown inside a worker when the run stops; never reported.
class EWorkerStopped : public Exception {
public:
    using Exception::Exception;
};

// A worker's decoder state, kept for the thread's life.
struct WorkerTools {
    Decompressor decompressor;
    ZipCrypt crypt;
    std::vector<std::uint8_t> buffer;
};

} // namespace

struct ZipExtractor::Job {
    Job(int i, const TZipHeaderInfo& e, const DataStart& d, ExtractTarget t,
        std::optional<ExtractTarget::Existing> x, const PlaceSettings& p)
        : index(i), entry(e), data(d), target(std::move(t)), existing(std::move(x)), settings(p) {}

    const int index;
    const TZipHeaderInfo entry;
    const DataStart data;
    const ExtractTarget target;
    const std::optional<ExtractTarget::Existing> existing;
    const PlaceSettings settings;
    // Set by the worker.
    std::optional<ExtractTempFile> temp;
    std::optional<std::string> createFailed; // why the temporary file could not be made
    Decoded decoded;
    Placed placed;
    std::exception_ptr error;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

ZipExtractor::ZipExtractor(TZipReader& zip) : zip_(zip) {}

ZipExtractor::~ZipExtractor() {
    stopWorkers();
}

void ZipExtractor::startWorkers() {
    if (zip_.ExtractThreads() > 1 && !spanned())
        pool_ = std::make_unique<ThreadPool>(zip_.ExtractThreads());
}

bool ZipExtractor::inFlight(const std::string& path) const {
    for (const auto& job : inFlight_) {
        const std::string& busy = job->target.Path();
        if (path == busy || (path.size() > busy.size() && path.compare(0, busy.size(), busy) == 0 &&
                             path[busy.size()] == '/'))
            return true;
    }
    return false;
}

void ZipExtractor::queueDecode(int index, const TZipHeaderInfo& entry, const DataStart& data,
                               ExtractTarget target,
                               std::optional<ExtractTarget::Existing> existing) {
    while (inFlight_.size() >= kJobsPerWorker * static_cast<std::size_t>(zip_.ExtractThreads()))
        reportOldest();
    auto job = std::make_unique<Job>(index, entry, data, std::move(target), std::move(existing),
                                     placeSettings());
    sweepOnce(job->target);
    Job* const raw = job.get();
    const int archive = zip_.zipStream_->Handle();
    const std::string archiveName = zip_.zipStream_->FileName();
    inFlight_.push_back(std::move(job));
    pool_->Submit([this, raw, archive, archiveName] {
        try {
            raw->temp.emplace(raw->target);
        } catch (const ECreateTargetFailed& e) {
            raw->createFailed = e.what();
        }
        try {
            thread_local WorkerTools tools;
            if (raw->createFailed)
                throw EWorkerStopped("No file");
            ArchiveReadAt stream(archive, archiveName);
            stream.Seek(raw->data.offset, SeekOrigin::Begin);
            EntryInput input(stream, raw->entry.CompressedSize,
                             [this] {
                                 if (stopping_)
                                     throw EWorkerStopped("Stopped");
                             },
                             {});
            raw->decoded =
                decodeInto(tools.decompressor, tools.crypt, tools.buffer, input, raw->entry,
                           std::string(), *raw->temp, raw->target.Path(), {});
            if (raw->decoded.problem.empty())
                raw->placed = place(*raw->temp, raw->entry, raw->existing, raw->settings);
        } catch (const EWorkerStopped&) {
            // Nothing to report: the run stops, or the file could not be made.
        } catch (...) {
            raw->error = std::current_exception();
        }
        {
            const std::lock_guard lock(raw->mutex);
            raw->done = true;
        }
        raw->finished.notify_all();
    });
}

void ZipExtractor::drain() {
    if (reporting_)
        return;
    while (!inFlight_.empty())
        reportOldest();
}

void ZipExtractor::reportOldest() {
    Job& job = *inFlight_.front();
    {
        std::unique_lock lock(job.mutex);
        while (!job.finished.wait_for(lock, kPollInterval, [&job] { return job.done; })) {
            lock.unlock();
            zip_.ProcessMessagesAndCheckCancel(); // may end the run; the job stays queued
            lock.lock();
        }
    }
    const std::unique_ptr<Job> owned = std::move(inFlight_.front());
    inFlight_.pop_front();

    // The outcome is told as the single-threaded run tells it, about this entry.
    struct Reporting {
        ZipExtractor& self;
        TZipHeaderInfo saved;
        ~Reporting() {
            self.zip_.scratchEntry_ = std::move(saved);
            self.reporting_ = false;
        }
    } reporting{*this, zip_.scratchEntry_};
    zip_.scratchEntry_ = job.entry;
    reporting_ = true;
    try {
        if (job.createFailed) {
            skip(job.index, TSkipReason::srCreateFailed, job.target.Path(), *job.createFailed);
            return;
        }
        if (job.error)
            std::rethrow_exception(job.error);
        if (job.decoded.outOfMemory)
            zip_.Ui().messageBox(job.decoded.problem, std::string(kTextError), MsgButtons::Ok,
                                 MsgIcon::Error);
        if (job.decoded.problem.empty()) {
            zip_.bytesWritten_ += static_cast<std::int64_t>(job.entry.UncompressedSize);
            if (zip_.OnFilePercentDone)
                zip_.OnFilePercentDone(zip_, 100);
            if (zip_.OnTotalPercentDone)
                zip_.OnTotalPercentDone(zip_, Percent(zip_.bytesWritten_, zip_.totalBytes_));
        }
        if (!job.decoded.problem.empty()) {
            job.temp.reset();
            badData(job.index, job.entry, job.decoded.crc, job.decoded.problem, false);
            return;
        }
        reportPlaced(job.index, job.target, job.placed);
    } catch (const EDamagedEntry& damage) {
        job.temp.reset();
        damaged(job.index, job.entry, damage);
    }
}

void ZipExtractor::stopWorkers() {
    stopping_ = true;
    pool_.reset(); // drops what has not started, waits for what runs
    inFlight_.clear();
    stopping_ = false;
}

} // namespace kd
