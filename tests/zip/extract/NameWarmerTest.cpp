// Names looked up ahead of the calling thread, on a thread of the warmer's own.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "zip/extract/NameWarmer.h"

namespace kd {

TEST(NameWarmer, LooksEachNameUpInItsDirectoryAndStopsWhenItGoes) {
    test::TempDir t;
    auto dir = std::make_shared<const UniqueFd>(
        ::open(t.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(*dir);
    std::mutex mutex;
    std::vector<std::string> looked;
    std::atomic<int> calls{0};
    std::atomic<bool> slow{false};
    {
        NameWarmer warmer([&](int dirFd, const std::string& name, std::size_t directory) {
            EXPECT_EQ(dirFd, dir->get());
            EXPECT_EQ(directory, 7u);
            {
                const std::lock_guard lock(mutex);
                looked.push_back(name);
            }
            ++calls;
            if (slow)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
        warmer.Add(dir, 7, {"a.txt", "b.txt"});
        warmer.Add(dir, 7, {});
        warmer.Add(dir, 7, {"c.txt"});
        for (int waited = 0; waited < 5000 && calls < 3; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(looked, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
        // Going while it looks: what is left is dropped.
        slow = true;
        warmer.Add(dir, 7, std::vector<std::string>(1000, "late.txt"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const int atEnd = calls;
    EXPECT_LT(atEnd, 3 + 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(calls, atEnd);
}

} // namespace kd
