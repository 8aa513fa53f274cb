// Self-extracting archives: what the writer assembles passes every ZIP tool, and the
// stub program extracts it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "TestPaths.h"
#include "platform/FileStream.h"
#include "zip/selfextract/TSFXConfig.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

namespace {

const std::string kStub = std::string(KORDYNE_BUILD_DIR) + "/app/SfxStub.bin";

class SelfExtractor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(kStub)) << "build the SfxStub target first";
        const std::vector<std::pair<std::string, std::string>> files = {
            {"text.txt", std::string(20000, 't')},
            {"empty.txt", ""},
            {"random.bin", test::randomBytes(100000, 5)},
            {"sub/deeper/c.txt", "ccc"},
            {"čeština/žluťoučký kůň.txt", "úpěl ďábelské ódy"},
        };
        for (const auto& [name, bytes] : files)
            expected[name] = t.write("tree/" + name, bytes);
        for (const char* dir : {"sub/", "sub/deeper/", "čeština/"})
            expected[dir] = "";
        bench.zip.SetRootDir(t.file("tree"));
        bench.zip.SetRelativePaths(true);
        bench.zip.SetAddDirEntriesOnRecurse(true);
    }

    // Zips the tree into out.zip and makes out.exe of it.
    std::string build(TSFXConfig& config, const std::string& password = "") {
        bench.zip.SetPassword(password);
        EXPECT_EQ(bench.add({"*.*"}), static_cast<int>(expected.size()));
        config.BuildConfigBlock();
        EXPECT_EQ(bench.zip.WriteSelfExtractor(kStub, bench.archive, config.ConfigBlock(),
                                               config.ConfigBlockSize()),
                  0);
        return t.file("out.exe");
    }

    // Runs the command in t's directory with the given standard input.
    int run(const std::string& command, std::string* output = nullptr,
            const std::string& input = "") {
        const std::string in = t.write("stdin.txt", input);
        return test::runCommand("cd '" + t.path() + "' && " + command + " < '" + in + "'", output);
    }

    bool sameTree(const std::string& dir) {
        std::string out;
        const bool same = run("diff -r tree '" + dir + "'", &out) == 0;
        EXPECT_EQ(out, "");
        return same;
    }

    test::TempDir t;
    test::WriterBench bench{t};
    std::map<std::string, std::string> expected;
};

TEST_F(SelfExtractor, ArchiveBehindStubAndBlockPassesEveryTool) {
    TSFXConfig config;
    const std::string exe = build(config);
    const std::string zipBytes = test::fileBytes(bench.archive);
    const std::string exeBytes = test::fileBytes(exe);
    const std::string stubBytes = test::fileBytes(kStub);
    const std::string block(reinterpret_cast<const char*>(config.ConfigBlock()),
                            config.ConfigBlockSize());
    EXPECT_EQ(exeBytes.substr(0, stubBytes.size()), stubBytes);
    EXPECT_EQ(exeBytes.substr(stubBytes.size(), block.size()), block);
    EXPECT_EQ(exeBytes.size(), stubBytes.size() + block.size() + zipBytes.size());

    struct stat st {};
    ASSERT_EQ(::stat(exe.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0111);

    test::expectToolsAccept(exe);
    EXPECT_EQ(test::zipfileMismatches(exe, expected), "");
    std::string out;
    EXPECT_EQ(test::runCommand("unzip -tq '" + exe + "'", &out), 0);
    EXPECT_EQ(out.find("extra bytes"), std::string::npos) << out; // offsets need no fixing
    TZipReader reader;
    reader.SetZipName(exe);
    reader.OpenAndReadDirectory();
    EXPECT_EQ(reader.GetEntryCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(test::fileBytes(bench.archive), zipBytes); // the ".zip" is untouched
}

TEST_F(SelfExtractor, RunningItExtractsTheTree) {
    TSFXConfig config;
    config.SetCaption("Záloha dokumentů");
    config.SetInfoTitle("Kordyne - automatické zálohování");
    // Relative, as the run starts in t: the block holds at most 255 bytes of a path, which
    // an absolute one below a long temporary directory would pass.
    config.SetDefaultPath("default");
    const std::string exe = build(config);
    std::string out;
    EXPECT_EQ(run("'" + exe + "' -y dest", &out), 0) << out;
    EXPECT_NE(out.find("Záloha dokumentů\n================"), std::string::npos) << out;
    EXPECT_NE(out.find("Kordyne - automatické zálohování"), std::string::npos);
    EXPECT_TRUE(sameTree("dest"));

    // No destination given and no terminal to ask on: the default path.
    EXPECT_EQ(run("'" + exe + "'", &out), 0) << out;
    EXPECT_TRUE(sameTree("default"));
}

TEST_F(SelfExtractor, EncryptedArchiveTakesThePasswordFromArgumentOrInput) {
    TSFXConfig config;
    const std::string exe = build(config, "tajné heslo");
    test::expectToolsAccept(exe, "tajné heslo");
    std::string out;
    EXPECT_EQ(run("'" + exe + "' -p 'tajné heslo' -y dest", &out), 0) << out;
    EXPECT_TRUE(sameTree("dest"));
    EXPECT_EQ(run("'" + exe + "' piped", &out, "tajné heslo\n"), 0) << out;
    EXPECT_TRUE(sameTree("piped"));

    EXPECT_EQ(run("'" + exe + "' -p wrong wrong", &out), 1) << out;
    EXPECT_FALSE(std::filesystem::exists(t.file("wrong/text.txt")));
}

TEST_F(SelfExtractor, OverwriteModeAndUserOptionsOfTheBlock) {
    TSFXConfig config;
    config.SetOverwriteMode(TsfxOverwriteMode::omNever);
    config.SetDefaultPath("dest");
    const std::string exe = build(config);
    t.write("dest/text.txt", "mine");
    std::string out;
    EXPECT_EQ(run("'" + exe + "'", &out), 0) << out;
    EXPECT_EQ(test::fileBytes(t.file("dest/text.txt")), "mine");
    EXPECT_EQ(test::fileBytes(t.file("dest/sub/deeper/c.txt")), "ccc");
    // The block does not let the user change the mode or choose files.
    EXPECT_EQ(run("'" + exe + "' -o always", &out), 2) << out;
    EXPECT_EQ(run("'" + exe + "' -f '*.bin'", &out), 2) << out;
    EXPECT_EQ(run("'" + exe + "' --help", &out), 0);
    EXPECT_EQ(out.find("--overwrite"), std::string::npos) << out;
    EXPECT_EQ(test::fileBytes(t.file("dest/text.txt")), "mine");

    // It does here: the user's choices hold.
    config.SetUserCanChangeOverwrite(true);
    config.SetUserCanChooseFiles(true);
    config.SetCmdLine("touch ran-in-here");
    config.BuildConfigBlock();
    ASSERT_EQ(bench.zip.WriteSelfExtractor(kStub, bench.archive, config.ConfigBlock(),
                                           config.ConfigBlockSize()),
              0);
    EXPECT_EQ(run("'" + exe + "' -o always -f '*.txt;*.bin'", &out), 0) << out;
    EXPECT_EQ(test::fileBytes(t.file("dest/text.txt")), std::string(20000, 't'));
    EXPECT_TRUE(std::filesystem::exists(t.file("dest/ran-in-here")));
    EXPECT_EQ(run("'" + exe + "' -n other", &out), 2) << out; // the command must run
}

TEST_F(SelfExtractor, MissingStubLeavesTheZipIntact) {
    TSFXConfig config;
    bench.add({"*.*"});
    const std::string zipBytes = test::fileBytes(bench.archive);
    config.BuildConfigBlock();
    EXPECT_THROW(bench.zip.WriteSelfExtractor(t.file("SfxStub.bin"), bench.archive,
                                              config.ConfigBlock(), config.ConfigBlockSize()),
                 EFOpenError);
    EXPECT_EQ(test::fileBytes(bench.archive), zipBytes);
    EXPECT_EQ(test::filesIn(t.path()), std::vector<std::string>{"out.zip"});
    EXPECT_EQ(bench.zip.WriteSelfExtractor("", bench.archive, nullptr, 0), 0);
}

TEST_F(SelfExtractor, FilesListGoesIntoTheExecutableOnly) {
    bench.add({"text.txt"});
    const std::string zipBytes = test::fileBytes(bench.archive);
    bench.zip.SetFilesList({"random.bin", "sub/deeper/c.txt"});
    EXPECT_EQ(bench.zip.WriteSelfExtractor(kStub, bench.archive, nullptr, 0), 2);
    EXPECT_EQ(test::fileBytes(bench.archive), zipBytes);
    EXPECT_EQ(bench.zip.ZipName(), bench.archive);
    EXPECT_EQ(test::filesIn(t.path()), (std::vector<std::string>{"out.exe", "out.zip"}));
    const std::string exe = t.file("out.exe");
    EXPECT_EQ(test::zipfileMismatches(exe, {{"text.txt", expected["text.txt"]},
                                            {"random.bin", expected["random.bin"]},
                                            {"sub/deeper/c.txt", expected["sub/deeper/c.txt"]}}),
              "");

    // Made again from the executable itself: the old stub does not stay inside.
    TSFXConfig config;
    config.BuildConfigBlock();
    const auto before = std::filesystem::file_size(exe);
    EXPECT_EQ(
        bench.zip.WriteSelfExtractor(kStub, exe, config.ConfigBlock(), config.ConfigBlockSize()),
        0);
    EXPECT_EQ(std::filesystem::file_size(exe), before + config.ConfigBlockSize());
    test::expectToolsAccept(exe);
}

TEST_F(SelfExtractor, RefusesWhatCannotBecomeOneExecutable) {
    TSFXConfig config;
    config.BuildConfigBlock();
    bench.add({"*.*"});
    std::string bytes = test::fileBytes(bench.archive);
    t.write("cut.zip", bytes.substr(0, bytes.size() - 30)); // no end record
    EXPECT_THROW(bench.zip.WriteSelfExtractor(kStub, t.file("cut.zip"), nullptr, 0), EBadZipFile);
    bytes[bytes.size() - 6] ^= 1; // the directory offset
    t.write("moved.zip", bytes);
    EXPECT_THROW(bench.zip.WriteSelfExtractor(kStub, t.file("moved.zip"), nullptr, 0), EBadZipFile);
    bench.zip.SetMultiMode(TMultiMode::mmBlocks);
    EXPECT_THROW(bench.zip.WriteSelfExtractor(kStub, bench.archive, nullptr, 0), EZipNotSupported);
    EXPECT_FALSE(std::filesystem::exists(t.file("cut.exe")));
    EXPECT_FALSE(std::filesystem::exists(t.file("moved.exe")));
    EXPECT_EQ(test::filesIn(t.path()),
              (std::vector<std::string>{"cut.zip", "moved.zip", "out.zip"}));
}

} // namespace
