// Reading an archive by position with a range read ahead gives the bytes a plain read
// gives, wherever a read starts and ends around that range; closing files is checked
// only where the file system may fail it.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/UniqueFd.h"
#include "support/TempDir.h"
#include "zip/extract/ArchiveReadAt.h"
#include "zip/extract/ExtractTempFile.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace kd {

namespace {

std::string readAt(ArchiveReadAt& stream, std::int64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    stream.Seek(offset, SeekOrigin::Begin);
    bytes.resize(stream.Read(bytes.data(), count));
    return bytes;
}

} // namespace

TEST(ArchiveReadAtAhead, ReadsAroundTheRangeGiveTheArchivesBytes) {
    test::TempDir t;
    const std::string data = test::randomBytes(5000);
    const UniqueFd fd(::open(t.write("a.bin", data).c_str(), O_RDONLY | O_CLOEXEC));
    ArchiveReadAt stream(fd.get(), "a.bin");
    std::vector<std::uint8_t> window;
    stream.Seek(1000, SeekOrigin::Begin);
    stream.ReadAhead(500, window);
    EXPECT_EQ(stream.Seek(0, SeekOrigin::Current), 1000);
    // Within, across either end, beyond, before, and over the whole range.
    const std::pair<std::int64_t, std::size_t> reads[] = {
        {1000, 30}, {1200, 300}, {1400, 300}, {1600, 50}, {900, 200}, {800, 1000}, {1499, 1}};
    for (const auto& [offset, count] : reads)
        EXPECT_EQ(readAt(stream, offset, count), data.substr(offset, count))
            << offset << " " << count;
    // Reads in a row go on where the last one ended, inside the range and past it.
    stream.Seek(1490, SeekOrigin::Begin);
    std::string row(20, '\0');
    ASSERT_EQ(stream.Read(row.data(), 5), 5u);
    ASSERT_EQ(stream.Read(row.data() + 5, 15), 15u);
    EXPECT_EQ(row, data.substr(1490, 20));
    // A range running past the end holds what there is; a read there ends with it.
    stream.Seek(4900, SeekOrigin::Begin);
    stream.ReadAhead(500, window);
    EXPECT_EQ(window.size(), 100u);
    EXPECT_EQ(readAt(stream, 4950, 200), data.substr(4950));
}

// Memory (tmpfs) closes silently; the process file system is none of those known to.
TEST(ExtractTempFileClose, OnlyFileSystemsKnownToCloseSilentlyGoUnchecked) {
    const UniqueFd memory(::open("/dev/shm", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const UniqueFd processes(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(memory && processes);
    EXPECT_FALSE(CloseMayFail(memory.get()));
    EXPECT_TRUE(CloseMayFail(processes.get()));
}

} // namespace kd
