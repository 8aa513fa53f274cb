#pragma once
#include <sys/stat.h>

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ArchiveAttribute.h"

namespace kd {

class ThreadPool;

// What was found of a file: what stat gave, and the archive attribute of a regular
// file.
struct SourceState {
    int Error = 0; // errno of a failed stat
    struct stat Status {};
    bool ArchiveSet = true;
};

// The states of files (what stat gives, and the archive attribute of a regular file)
// looked up in the order given on worker threads, ahead of the thread that asks for
// them, so that a question asked about each of many files in turn does not wait for
// the file system every time. Looked up once each, whatever the thread count.
class SourceStates {
public:
    // paths must outlive the object. threads: how many threads look (1: the asking
    // thread itself, at each chunk). attributes must be safe on several threads.
    SourceStates(std::vector<const std::string*> paths, int threads, ArchiveAttribute& attributes);
    ~SourceStates();
    SourceStates(const SourceStates&) = delete;
    SourceStates& operator=(const SourceStates&) = delete;

    // The state of the path at index, asked for in increasing order of index.
    const SourceState& Get(std::size_t index);

private:
    struct Chunk {
        std::vector<SourceState> States;
        bool Done = false; // under the lock
    };
    void lookUp(Chunk& chunk, std::size_t first) const;
    // Hands the pool the chunks up to the look-ahead from the one being read.
    void submitAhead();

    std::vector<const std::string*> paths_;
    ArchiveAttribute& attributes_;
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t reading_ = 0;   // the chunk being read by the asking thread
    std::size_t submitted_ = 0; // chunks handed to the pool
    std::mutex mutex_;
    std::condition_variable done_;
    std::unique_ptr<ThreadPool> pool_; // last: stops before what its tasks use goes
};

} // namespace kd
