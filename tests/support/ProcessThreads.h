#pragma once
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <thread>

namespace kd::test {

// The threads this process has now. A sanitizer starts a thread of its own with the
// process's first thread, so one is started (and ended) first: counts taken before and
// after a run then differ only by what the run left behind.
inline std::size_t threadsOfThisProcess() {
    static const bool started = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)started;
    namespace fs = std::filesystem;
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

// Whether the process is back to at most `count` threads within a second: a thread
// that has ended may still be listed for a moment after it was joined.
inline bool threadsReturnTo(std::size_t count) {
    for (int i = 0; i < 500; ++i) {
        if (threadsOfThisProcess() <= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace kd::test
