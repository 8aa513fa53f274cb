// Extraction of archives written by other tools, and of the older methods' fixtures.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

#include "TestPaths.h"
#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

class ZipExtractOracle : public ::testing::Test {
protected:
    ZipExtractOracle() { test::makeExtractTree(t_, "src"); }

    // Extracts archive into t/dest and expects every entry to succeed.
    int extract(const std::string& archive, const std::string& dest,
                const std::string& password = "") {
        TZipReader zip;
        test::configureExtractAll(zip, archive, t_.file(dest));
        zip.SetPassword(password);
        const int count = zip.ExtractArchive();
        for (const auto& failure : zip.ExtractFailures())
            ADD_FAILURE() << failure.Name << ": " << failure.Message;
        return count;
    }

    test::TempDir t_;
};

constexpr const char* kZipfileWriter = R"(import os, sys, zipfile
with zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED) as z:
    for root, dirs, files in os.walk(sys.argv[1]):
        for name in dirs + files:
            path = os.path.join(root, name)
            z.write(path, os.path.relpath(path, sys.argv[1]))
)";

} // namespace

TEST_F(ZipExtractOracle, ArchivesOfOtherToolsExtractToTheirSourceTree) {
    const std::string src = t_.file("src");
    const std::map<std::string, std::string> writers = {
        {"zip", "cd " + src + " && zip -q -r -6 ../zip.zip ."},
        {"7z", "cd " + src + " && 7z a -tzip -bd -bso0 ../7z.zip ."},
        {"bsdtar", "cd " + src + " && bsdtar --format zip -cf ../bsdtar.zip ."},
    };
    for (const auto& [tool, command] : writers)
        test::mustRun(command);
    test::runPython(t_, kZipfileWriter, "'" + src + "' '" + t_.file("zipfile.zip") + "'");
    const std::string expected = test::treeListing(src);
    for (const std::string tool : {"zip", "7z", "bsdtar", "zipfile"}) {
        SCOPED_TRACE(tool);
        EXPECT_GT(extract(t_.file(tool + ".zip"), "out-" + tool), 5);
        EXPECT_EQ(test::treeListing(t_.file("out-" + tool)), expected);
    }
}

TEST_F(ZipExtractOracle, FilesGetTheirStoredDateAndMode) {
    const std::string src = t_.file("src");
    ::chmod((src + "/sub/deeper/c.txt").c_str(), 0750);
    test::mustRun("touch -d '2011-03-04 05:06:08' " + src + "/a.txt");
    test::mustRun("cd " + src + " && zip -q -r -6 ../a.zip .");
    extract(t_.file("a.zip"), "out");
    struct stat st {};
    ASSERT_EQ(::stat(t_.file("out/a.txt").c_str(), &st), 0);
    struct stat source {};
    ASSERT_EQ(::stat((src + "/a.txt").c_str(), &source), 0);
    EXPECT_EQ(st.st_mtime, source.st_mtime);
    ASSERT_EQ(::stat(t_.file("out/sub/deeper/c.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0750u);
}

TEST_F(ZipExtractOracle, PartFilesExtractAcrossParts) {
    const std::string src = t_.file("src");
    test::mustRun("cd " + src + " && zip -q -s 64k -r ../set.zip .");
    for (int n = 1; fs::exists(t_.file("set.z0" + std::to_string(n))); ++n)
        fs::rename(t_.file("set.z0" + std::to_string(n)), t_.file("set.00" + std::to_string(n)));
    int last = 1;
    while (fs::exists(t_.file("set.00" + std::to_string(last))))
        ++last;
    ASSERT_GE(last, 2); // the random file straddles two parts
    fs::rename(t_.file("set.zip"), t_.file("set.00" + std::to_string(last)));
    extract(t_.file("set.00" + std::to_string(last)), "out");
    EXPECT_EQ(test::treeListing(t_.file("out")), test::treeListing(src));
}

TEST_F(ZipExtractOracle, PasswordsOfZipAnd7zWithWindows1250OrUtf8Bytes) {
    const std::string src = t_.file("src");
    test::mustRun("cd " + src + " && zip -q -r -P secret ../ascii.zip .");
    // "čaj" as the original program stored it (Windows-1250) and as UTF-8.
    test::mustRun("cd " + src + " && zip -q -r -P \"$(printf '\\350aj')\" ../cp1250.zip .");
    test::mustRun("cd " + src + " && zip -q -r -P 'čaj' ../utf8.zip .");
    test::mustRun("cd " + src + " && 7z a -tzip -mem=ZipCrypto -psecret -bd -bso0 ../7z.zip .");
    const std::string expected = test::treeListing(src);
    const std::map<std::string, std::string> passwords = {
        {"ascii", "secret"}, {"cp1250", "čaj"}, {"utf8", "čaj"}, {"7z", "secret"}};
    for (const auto& [name, password] : passwords) {
        SCOPED_TRACE(name);
        extract(t_.file(name + ".zip"), "out-" + name, password);
        EXPECT_EQ(test::treeListing(t_.file("out-" + name)), expected);
    }
}

TEST_F(ZipExtractOracle, ShrunkReducedAndImplodedEntriesExtractLikeTheirStoredTwins) {
    for (const std::string fixture : {"shrink", "reduce", "implode"}) {
        SCOPED_TRACE(fixture);
        const std::string dest = "out-" + fixture;
        EXPECT_GT(extract(KORDYNE_TEST_DATA_DIR "/zip/methods/" + fixture + ".zip", dest), 8);
        int compared = 0;
        for (const auto& item : fs::directory_iterator(t_.file(dest))) {
            const std::string name = item.path().filename().string();
            const auto dot = name.find('.');
            if (dot == std::string::npos)
                continue;
            EXPECT_EQ(test::readFile(item.path().string()),
                      test::readFile(t_.file(dest + "/" + name.substr(0, dot))))
                << name;
            ++compared;
        }
        EXPECT_GT(compared, 8);
    }
}

} // namespace kd
