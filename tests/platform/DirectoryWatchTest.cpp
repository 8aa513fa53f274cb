// Watching directories for entries moved or deleted.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "platform/DirectoryWatch.h"
#include "platform/UniqueFd.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

UniqueFd openDirectory(const std::string& path) {
    return UniqueFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

int openDescriptors() {
    return static_cast<int>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
}

} // namespace

TEST(DirectoryWatch, TellsEntriesMovedOrDeletedAndTheDirectoryMovedButNotNewFiles) {
    test::TempDir t;
    t.write("top/a.txt", "a");
    t.write("top/sub/b.txt", "b");
    const UniqueFd top = openDirectory(t.file("top"));
    const UniqueFd sub = openDirectory(t.file("top/sub"));
    DirectoryWatch watch;
    ASSERT_NE(watch.Watch(top.get()), DirectoryWatch::kNoWatch);
    const int subWatch = watch.Watch(sub.get());
    ASSERT_NE(subWatch, DirectoryWatch::kNoWatch);
    EXPECT_FALSE(watch.Changed());

    // What a run does all the time is not a change.
    t.write("top/new.txt", "n");
    fs::create_directory(t.file("top/made"));
    fs::last_write_time(t.file("top/a.txt"), fs::file_time_type::clock::now());
    EXPECT_FALSE(watch.Changed());

    fs::rename(t.file("top/a.txt"), t.file("top/c.txt"));
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed()); // taken

    fs::remove(t.file("top/new.txt"));
    EXPECT_TRUE(watch.Changed());

    fs::rename(t.file("top/sub"), t.file("moved"));
    EXPECT_TRUE(watch.Changed());

    watch.Unwatch(subWatch); // giving a watch up is no change
    EXPECT_FALSE(watch.Changed());
}

// The queue is closed by a thread of its own, which the caller does not wait for.
TEST(DirectoryWatch, ItsQueueClosesOnceTheWatchIsGone) {
    test::TempDir t;
    fs::create_directory(t.file("d"));
    const int before = openDescriptors();
    {
        const UniqueFd dir = openDirectory(t.file("d"));
        DirectoryWatch watch;
        ASSERT_NE(watch.Watch(dir.get()), DirectoryWatch::kNoWatch);
    }
    for (int waited = 0; waited < 5000 && openDescriptors() != before; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(openDescriptors(), before);
}

} // namespace kd
