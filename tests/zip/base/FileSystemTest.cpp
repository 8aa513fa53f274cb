#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileOps.h"
#include "platform/FileStamp.h"
#include "support/TempDir.h"
#include "zip/base/DosDateTime.h"
#include "zip/base/TDirSearch.h"
#include "zip/base/TLFNFileStream.h"
#include "zip/base/ZipFiles.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> searchAll(const std::string& dir, bool recurse, const std::string& mask,
                                   const std::string& strip) {
    TDirSearch search(dir, recurse, mask);
    std::vector<std::string> names;
    TSearchRec rec;
    // A name that cannot be read is marked: "!" a special file, "?" unreadable.
    while (search.NextFile(rec))
        names.push_back(rec.Name.substr(strip.size()) +
                        (rec.Problem == TSearchProblem::Special      ? "!"
                         : rec.Problem == TSearchProblem::Unreadable ? "?"
                                                                     : ""));
    return names;
}

std::string readFile(const std::string& path) {
    TLFNFileStream in(path);
    std::string data(static_cast<std::size_t>(in.Size()), '\0');
    in.ReadBuffer(data.data(), data.size());
    return data;
}

} // namespace

TEST(DirSearch, RecursionReturnsDirectoriesBeforeTheirFiles) {
    test::TempDir t;
    t.write("a.txt", "a");
    t.write("b", "no extension");
    t.write("sub/c.txt", "c");
    t.write("sub/deeper/d.txt", "d");
    t.write(".hidden/e.txt", "e");
    ASSERT_EQ(::symlink("sub", t.file("link").c_str()), 0);     // a directory link: not followed
    ASSERT_EQ(::symlink("a.txt", t.file("lf.txt").c_str()), 0); // a file link: a file
    ASSERT_EQ(::symlink("missing", t.file("dead.txt").c_str()), 0);
    ASSERT_EQ(::mkfifo(t.file("pipe.txt").c_str(), 0600), 0); // would block when opened
    const std::string root = t.path() + "/";

    EXPECT_EQ(searchAll(t.path(), true, "*.*", root),
              (std::vector<std::string>{".hidden/", ".hidden/e.txt", "a.txt", "b", "dead.txt?",
                                        "lf.txt", "pipe.txt!", "sub/", "sub/c.txt", "sub/deeper/",
                                        "sub/deeper/d.txt"}));
    EXPECT_EQ(searchAll(root, false, "*.TXT", root),
              (std::vector<std::string>{"a.txt", "dead.txt?", "lf.txt", "pipe.txt!"}));
    EXPECT_EQ(searchAll(root, false, "b.", root), (std::vector<std::string>{"b"}));

    TDirSearch search(root, false, "lf.txt");
    TSearchRec rec;
    ASSERT_TRUE(search.NextFile(rec));
    EXPECT_EQ(rec.Size, 1u);
    EXPECT_FALSE(rec.IsDirectory);
    // What was found is the target's, as stat gives it: no need to look again.
    EXPECT_EQ(rec.Stamp, FileStampOf(t.file("a.txt")));
    EXPECT_TRUE(S_ISREG(rec.Mode));
    EXPECT_FALSE(search.NextFile(rec));
    EXPECT_FALSE(search.NextFile(rec)); // stays over

    TDirSearch deep(root, true, "d.txt"); // listed ahead on other threads
    while (deep.NextFile(rec) && rec.IsDirectory) {
    }
    EXPECT_EQ(rec.Name, root + "sub/deeper/d.txt");
    EXPECT_EQ(rec.Stamp, FileStampOf(rec.Name));
}

TEST(DirSearch, WildcardsInTheStartDirectory) {
    test::TempDir t;
    t.write("x1/logs/f.log", "f");
    t.write("x1/logs/skip.txt", "s");
    t.write("x2/logs/g.log", "g");
    t.write("x2/logs/inner/i.log", "i");
    t.write("x3/other/h.log", "h");
    t.write("y1/logs/j.log", "j");
    const std::string root = t.path() + "/";
    EXPECT_EQ(searchAll(root + "x*/logs/", false, "*.log", root),
              (std::vector<std::string>{"x1/logs/f.log", "x2/logs/g.log"}));
    EXPECT_EQ(searchAll(root + "x<2-3>/*", true, "*.log", root),
              (std::vector<std::string>{"x2/logs/g.log", "x2/logs/inner/", "x2/logs/inner/i.log",
                                        "x3/other/h.log"}));
    EXPECT_TRUE(searchAll(root + "none*/", true, "*.*", root).empty());
    EXPECT_TRUE(searchAll(root + "missing/", true, "*.*", root).empty());
}

TEST(DirSearch, HasNoDepthLimit) {
    test::TempDir t;
    std::string rel;
    for (int i = 0; i < 40; ++i)
        rel.append("d").append(std::to_string(i)).append("/");
    t.write(rel + "deep.txt", "x");
    const auto names = searchAll(t.path(), true, "*.txt", t.path() + "/");
    EXPECT_EQ(names.back(), rel + "deep.txt");
    EXPECT_EQ(names.size(), 41u);
}

TEST(DosDateTime, ClampAndConversion) {
    // 2099-12-31 23:59:58 is what the all-ones value clamps to.
    const std::uint32_t maxValue = DosDateTimeClamp(0xFFFFFFFFu);
    EXPECT_EQ(maxValue, (119u << 25 | 12u << 21 | 31u << 16 | 23u << 11 | 59u << 5 | 29u));
    const std::uint32_t valid =
        (44u << 25 | 6u << 21 | 15u << 16 | 13u << 11 | 45u << 5 | 10u); // 2024-06-15 13:45:20
    EXPECT_EQ(DosDateTimeClamp(valid), valid);
    EXPECT_EQ(DosDateTimeClamp(0), 1u << 21 | 1u << 16); // month and day 0 become 1
    EXPECT_EQ(DateTimeToDosDateTime(*DosDateTimeToDateTime(valid)), valid);
    EXPECT_FALSE(DosDateTimeToDateTime(44u << 25 | 2u << 21 | 31u << 16)); // 31 February
    EXPECT_EQ(UnixTimeToDosDateTime(0), 1u << 21 | 1u << 16);              // 1970 -> 1980-01-01
    EXPECT_EQ(DateTimeToDosDateTime(encodeDate(2200, 1, 1)),
              DateTimeToDosDateTime(encodeDateTime({2107, 12, 31, 23, 59, 58, 0})));
}

TEST(ZipFiles, FileDates) {
    test::TempDir t;
    const auto missing = decodeDateTime(FileDate(t.file("missing")));
    EXPECT_EQ(missing.year, 2099);
    EXPECT_EQ(missing.month, 12);
    EXPECT_EQ(missing.day, 31);
    EXPECT_EQ(missing.hour, 23);
    EXPECT_EQ(missing.second, 58);

    const std::string file = t.write("f.txt", "x");
    struct timespec times[2] = {{0, UTIME_OMIT}, {0, 0}};
    times[1].tv_sec = toTimeT(encodeDateTime({2021, 3, 4, 5, 6, 7, 0}));
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    const auto parts = decodeDateTime(FileDate(file));
    EXPECT_EQ(parts.year, 2021);
    EXPECT_EQ(parts.hour, 5);
    EXPECT_EQ(parts.second, 6); // two-second steps
    EXPECT_EQ(TLFNFileStream(file).FileDosDateTime(), FileDosDateTime(file));
}

TEST(ZipFiles, Percent) {
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(Percent(5, -1), 0);
    EXPECT_EQ(Percent(10, 10), 100);
    EXPECT_EQ(Percent(12, 10), 100);
    EXPECT_EQ(Percent(1, 3), 33);
    EXPECT_EQ(Percent(2, 3), 67);
    EXPECT_EQ(Percent(std::int64_t{1} << 40, std::int64_t{1} << 41), 50);
}

TEST(ZipFiles, TemporaryFilesAndDirectories) {
    test::TempDir t;
    const std::string a = TemporaryFileName(t.path());
    const std::string b = TemporaryFileName(t.path());
    EXPECT_NE(a, b);
    EXPECT_EQ(fs::path(a).filename().string().rfind("ZTF", 0), 0u);
    EXPECT_EQ(fs::file_size(a), 0u);
    EXPECT_THROW(TemporaryFileName(t.file("missing")), Exception);
    EXPECT_EQ(TemporaryDirectory(t.path()), t.path());
    EXPECT_EQ(TemporaryDirectory(""), fs::temp_directory_path().string());
    EXPECT_EQ(TemporaryDirectory(t.file("missing")), fs::temp_directory_path().string());
}

TEST(ZipFiles, MovingAndCopying) {
    test::TempDir t;
    const std::string source = t.write("new.zip", "new");
    const std::string target = t.write("old.zip", "old");
    EXPECT_TRUE(MoveFile(source, target));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_FALSE(fs::exists(source));
    EXPECT_FALSE(fs::exists(target + "$$$"));
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(MoveFile(t.file("missing"), target));

    t.write("copy-src", std::string(200000, 'c'));
    ::chmod(t.file("copy-src").c_str(), 0640);
    copyFile(t.file("copy-src"), target);
    EXPECT_EQ(readFile(target), std::string(200000, 'c'));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A failed copy names both files and leaves the target as it was.
    try {
        MoveOrCopyFile(t.file("missing"), target);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("Could not copy from " + t.file("missing") + " -> " +
                                             target),
                  std::string::npos);
    }
    EXPECT_EQ(fs::file_size(target), 200000u);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), fs::directory_iterator()), 2);
}

TEST(FileStream, WritesReadsAndReportsErrors) {
    test::TempDir t;
    const std::string name = t.file("data.bin");
    {
        TLFNFileStream out(name, 100, true, FileOpenMode::Create);
        for (int i = 0; i < 1000; ++i)
            out.Write("0123456789", 10);
        out.Seek(0, SeekOrigin::Begin);
        out.Write("AB", 2);
        out.Close();
    }
    const std::string data = readFile(name);
    ASSERT_EQ(data.size(), 10000u);
    EXPECT_EQ(data.substr(0, 12), "AB2345678901");
    EXPECT_THROW(TLFNFileStream(t.file("missing")), EFOpenError);
    EXPECT_THROW(TLFNFileStream(t.file("no/dir/x"), kZipBufferSize, false, FileOpenMode::Create),
                 EFOpenError);

    TLFNFileStream readOnly(name);
    readOnly.Write("x", 1);
    EXPECT_THROW(readOnly.Close(), EStreamError); // the flush hits a read-only descriptor
}
