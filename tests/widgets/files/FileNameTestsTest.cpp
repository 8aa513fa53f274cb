#include "widgets/files/FileNameTests.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(FileNameTests, DirectoryTestResolvesEveryComponent) {
    test::TempDir dir;
    const std::string root = dir.path();
    std::filesystem::create_directory(dir.file("sub"));
    dir.write("file", "x");
    EXPECT_TRUE(IsExistingDirectory(root));
    EXPECT_TRUE(IsExistingDirectory(root + "/sub/"));
    EXPECT_FALSE(IsExistingDirectory(root + "/file"));
    EXPECT_FALSE(IsExistingDirectory(root + "/missing"));
    EXPECT_FALSE(IsExistingDirectory(root + "/missing/.."));
    EXPECT_FALSE(IsExistingDirectory(""));
}

TEST(FileNameTests, FileNameCharactersAndTrailingSlash) {
    EXPECT_FALSE(IsValidFileName(""));
    EXPECT_FALSE(IsValidFileName("a|b"));
    EXPECT_FALSE(IsValidFileName("[x]"));
    EXPECT_TRUE(IsValidFileName("zaloha 1.zip"));
    EXPECT_TRUE(ContainsAnyChar("abc", "xc"));
    EXPECT_FALSE(ContainsAnyChar("abc", ""));

    EXPECT_EQ(StripTrailingBackslash("/"), "/");
    EXPECT_EQ(StripTrailingBackslash("/data/"), "/data");
    EXPECT_EQ(StripTrailingBackslash("/data"), "/data");
}

TEST(FileNameTests, NamesOfExistingComponentsOnly) {
    test::TempDir dir;
    const std::string file = dir.write("Long name.txt", "x");
    EXPECT_EQ(LongFileNameOf(file), "Long name.txt");
    EXPECT_EQ(ShortFileNameOf(file), "Long name.txt");
    EXPECT_EQ(LongFileNameOf(dir.file("none")), "");
    EXPECT_EQ(ShortPathOf(file), file);
    EXPECT_EQ(LongPathOf("/no/such/path"), "/no/such/path");
}

} // namespace
} // namespace kd
