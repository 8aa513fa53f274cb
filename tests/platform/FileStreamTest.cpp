// A file stream's own idea of its position agrees with the descriptor's offset.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/FileStream.h"
#include "support/TempDir.h"

namespace {

std::int64_t offsetOf(const kd::FileStream& file) {
    return ::lseek(file.Handle(), 0, SEEK_CUR);
}

TEST(FileStream, KnowsItsPositionAfterEveryKindOfMove) {
    kd::test::TempDir t;
    kd::FileStream file(t.file("data.bin"), kd::FileOpenMode::Create);
    EXPECT_EQ(file.Position(), 0);
    file.Write("0123456789", 10);
    EXPECT_EQ(file.Position(), 10);
    EXPECT_EQ(file.Seek(-4, kd::SeekOrigin::End), 6);
    char got[8] = {};
    EXPECT_EQ(file.Read(got, sizeof got), 4u); // only four bytes to the end
    EXPECT_EQ(file.Position(), 10);
    EXPECT_EQ(file.Seek(3, kd::SeekOrigin::Current), 13); // past the end
    file.Write("x", 1);
    EXPECT_EQ(file.Position(), 14);
    EXPECT_EQ(file.Size(), 14);
    EXPECT_EQ(file.Seek(2, kd::SeekOrigin::Begin), 2);
    EXPECT_EQ(file.Position(), offsetOf(file));
    EXPECT_THROW(file.Seek(-1, kd::SeekOrigin::Begin), kd::EStreamError);
    EXPECT_EQ(file.Position(), offsetOf(file));
    EXPECT_EQ(file.Position(), 2);
}

TEST(FileStream, AskedForItsPositionTakesOverADescriptorWhereverItStands) {
    kd::test::TempDir t;
    const std::string name = t.write("data.bin", "0123456789");
    kd::UniqueFd fd(::open(name.c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_TRUE(fd);
    ASSERT_EQ(::lseek(fd.get(), 7, SEEK_SET), 7);
    kd::FileStream file(std::move(fd), name);
    EXPECT_EQ(file.Position(), 7);
    char got[4] = {};
    EXPECT_EQ(file.Read(got, sizeof got), 3u);
    EXPECT_EQ(std::string(got, 3), "789");
    EXPECT_EQ(file.Position(), 10);
}

} // namespace
