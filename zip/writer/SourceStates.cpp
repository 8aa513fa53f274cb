#include "zip/writer/SourceStates.h"

#include <algorithm>
#include <cerrno>
#include <functional>

#include "platform/SiblingStat.h"
#include "zip/base/ThreadPool.h"

namespace kd {

namespace {

// Files per chunk: a chunk takes a worker a fraction of a millisecond.
constexpr std::size_t kChunkFiles = 256;
// Chunks looked up ahead of the one being read, at most: the states of a large run
// are not all held at once.
constexpr std::size_t kChunksAhead = 64;

} // namespace

SourceStates::SourceStates(std::vector<const std::string*> paths, int threads,
                           ArchiveAttribute& attributes)
    : paths_(std::move(paths)), attributes_(attributes),
      chunks_((paths_.size() + kChunkFiles - 1) / kChunkFiles) {
    // A few chunks are looked up faster than threads are started.
    if (threads > 1 && chunks_.size() > 2) {
        pool_ = std::make_unique<ThreadPool>(threads);
        submitAhead();
    }
}

SourceStates::~SourceStates() {
    pool_.reset();
}

void SourceStates::lookUp(Chunk& chunk, std::size_t first) const {
    const std::size_t end = std::min(first + kChunkFiles, paths_.size());
    chunk.States.resize(end - first);
    SiblingStat sources;
    for (std::size_t i = first; i < end; ++i) {
        SourceState& state = chunk.States[i - first];
        const std::string& path = *paths_[i];
        if (!sources.Stat(path, state.Status)) {
            state.Error = errno;
            continue;
        }
        if (!S_ISREG(state.Status.st_mode))
            continue;
        try {
            state.ArchiveSet = attributes_.IsSet(path);
        } catch (...) {
            // Out of memory: the attribute counts as set, as for a file never archived.
        }
    }
}

void SourceStates::submitAhead() {
    std::vector<std::function<void()>> tasks;
    for (; submitted_ < chunks_.size() && submitted_ <= reading_ + kChunksAhead; ++submitted_) {
        chunks_[submitted_] = std::make_unique<Chunk>();
        tasks.emplace_back([this, chunk = chunks_[submitted_].get(), n = submitted_] {
            lookUp(*chunk, n * kChunkFiles);
            {
                const std::lock_guard lock(mutex_);
                chunk->Done = true;
            }
            done_.notify_all();
        });
    }
    pool_->Submit(std::move(tasks));
}

const SourceState& SourceStates::Get(std::size_t index) {
    const std::size_t n = index / kChunkFiles;
    if (n != reading_) {
        chunks_[reading_].reset(); // passed
        reading_ = n;
        if (pool_)
            submitAhead();
    }
    if (!pool_) {
        if (!chunks_[n]) {
            chunks_[n] = std::make_unique<Chunk>();
            lookUp(*chunks_[n], n * kChunkFiles);
        }
    } else {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return chunks_[n]->Done; });
    }
    return chunks_[n]->States[index % kChunkFiles];
}

} // namespace kd
