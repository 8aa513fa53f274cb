// Files looked up through their open directory give what stat gives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/SiblingStat.h"
#include "support/TempDir.h"

namespace {

TEST(SiblingStat, GivesWhatStatGivesFromDirectoryToDirectory) {
    kd::test::TempDir t;
    const std::string a = t.write("one/a.txt", "a");
    const std::string b = t.write("one/b.txt", "bb");
    const std::string c = t.write("two/c.txt", "ccc");
    std::filesystem::create_directory_symlink(t.file("two"), t.file("link"));
    kd::SiblingStat sources;
    for (const std::string& path :
         {a, b, c, t.file("link/c.txt"), a, t.file("one"), std::string("/"), std::string("/tmp")}) {
        struct stat expected {};
        struct stat got {};
        ASSERT_EQ(::stat(path.c_str(), &expected), 0);
        ASSERT_TRUE(sources.Stat(path, got)) << path;
        EXPECT_EQ(got.st_ino, expected.st_ino) << path;
        EXPECT_EQ(got.st_size, expected.st_size) << path;
    }
    struct stat st {};
    errno = 0;
    EXPECT_FALSE(sources.Stat(t.file("one/gone.txt"), st));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(sources.Stat(t.file("three/x.txt"), st));
    // A file changed between two looks is seen changed.
    t.write("one/a.txt", "longer");
    ASSERT_TRUE(sources.Stat(a, st));
    EXPECT_EQ(st.st_size, 6);
}

} // namespace
