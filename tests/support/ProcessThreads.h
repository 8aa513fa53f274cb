#pragma once
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <thread>

namespace kd::test {

// The threads this process has now. A sanitizer starts a thread of its own with the
// process's first thread, so one is started (and ended) first: counts taken before and
// after a run then differ only by what the run left behind.
inline std::size_t threadsOfThisProcess() {
    std::thread([] {}).join();
    namespace fs = std::filesystem;
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

} // namespace kd::test
