// An entry whose file the overwrite mode keeps is neither decoded nor written, on one
// thread or on many: the run's reads and writes (the process's I/O counts) hold
// little beyond the local headers and what the run does write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

constexpr int kFiles = 16;
constexpr std::size_t kFileSize = 512u << 10;

// Bytes the process has read and written through the system so far (all its
// threads, any file system); nullopt where the kernel does not count them.
struct IoCounts {
    std::uint64_t read = 0;
    std::uint64_t written = 0;
};
std::optional<IoCounts> ioCounts() {
    std::ifstream in("/proc/self/io");
    std::string key;
    IoCounts counts;
    if (!(in >> key >> counts.read >> key >> counts.written) || key != "wchar:")
        return std::nullopt;
    return counts;
}

class ZipExtractKept : public test::ExtractTest {
protected:
    // The I/O of extracting the archive into dest.
    IoCounts extract(const std::string& archive, const std::string& dest, int threads,
                     TUZOverwriteMode mode, bool recreateDirs = true) {
        test::configureExtractAll(zip_, t_.file(archive), t_.file(dest));
        zip_.SetRecreateDirs(recreateDirs);
        zip_.SetExtractThreads(threads);
        zip_.SetOverwriteMode(mode);
        zip_.OpenAndReadDirectory();
        const auto before = ioCounts();
        extracted_ = zip_.ExtractArchive();
        const auto after = ioCounts();
        return {after->read - before->read, after->written - before->written};
    }
    int extracted_ = 0;
};

} // namespace

TEST_F(ZipExtractKept, EntriesWhoseFilesStayAreNeitherReadNorWritten) {
    if (!ioCounts())
        GTEST_SKIP() << "the kernel counts no I/O per process";
    for (int i = 0; i < kFiles; ++i)
        t_.write("src/d/f" + std::to_string(i) + ".txt",
                 test::randomBytes(kFileSize, static_cast<unsigned>(i)));
    test::mustRun("cd " + t_.file("src") + " && zip -q -r ../a.zip d");
    const auto archiveSize = fs::file_size(t_.file("a.zip"));
    extract("a.zip", "dest", 1, TUZOverwriteMode::Always);
    ASSERT_EQ(extracted_, kFiles + 1);

    // Over a tree that holds every file as extracted; the start event's handler takes
    // one file away, whose entry is then written (decided at its turn, as always).
    zip_.OnStartUnZip = [](TZipReader&, int, std::string& name, bool&) {
        if (fs::path(name).filename() == "f5.txt")
            fs::remove(name);
    };
    int asked = 0;
    zip_.OnPromptForOverwrite = [&asked](TZipReader&, bool& overwrite, int, std::string&) {
        ++asked;
        overwrite = false;
    };
    for (const auto mode :
         {TUZOverwriteMode::Never, TUZOverwriteMode::ifNewer, TUZOverwriteMode::Prompt})
        for (const int threads : {1, 8}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + " on " + std::to_string(threads));
            asked = 0;
            const IoCounts io = extract("a.zip", "dest", threads, mode);
            EXPECT_EQ(extracted_, 2); // f5.txt and the directory
            EXPECT_EQ(asked, mode == TUZOverwriteMode::Prompt ? kFiles - 1 : 0);
            EXPECT_LT(io.written, 2 * kFileSize);
            EXPECT_LT(io.read, archiveSize / 4);
            EXPECT_EQ(test::readFile(t_.file("dest/d/f5.txt")), test::randomBytes(kFileSize, 5));
        }

    // Two entries for one target in an empty destination: the second finds the
    // first's file, as on one thread, and is not decoded ahead meanwhile.
    zip_.OnStartUnZip = nullptr;
    t_.write("src/e/f1.txt", test::randomBytes(kFileSize, 99));
    test::mustRun("cd " + t_.file("src") + " && zip -q -r ../twice.zip d/f1.txt e/f1.txt");
    for (const int threads : {1, 8}) {
        const std::string dest = "twice" + std::to_string(threads);
        const IoCounts io = extract("twice.zip", dest, threads, TUZOverwriteMode::Never, false);
        EXPECT_EQ(extracted_, 1) << threads;
        EXPECT_LT(io.written, kFileSize * 3 / 2) << threads;
        EXPECT_EQ(test::readFile(t_.file(dest + "/f1.txt")), test::randomBytes(kFileSize, 1));
    }
}

} // namespace kd
