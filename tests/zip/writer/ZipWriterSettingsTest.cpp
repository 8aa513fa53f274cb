// The writer's settings, entry names, masks and per-file rules.
#include <gtest/gtest.h>

#include <filesystem>

#include "zip/support/ZipWriterTestSupport.h"
#include "zip/writer/ZipWriterNames.h"

using namespace kd;

namespace {

TEST(ZipWriterSettings, PathSettersPullEachOtherAlong) {
    TZipWriter zip;
    zip.SetRelativePaths(true);
    EXPECT_TRUE(zip.StorePaths());
    EXPECT_TRUE(zip.Recurse());
    zip.SetStoreVolumes(true);
    zip.SetStorePaths(false);
    EXPECT_FALSE(zip.RelativePaths());
    EXPECT_FALSE(zip.StoreVolumes());
    EXPECT_TRUE(zip.Recurse());
    zip.SetStoreVolumes(true);
    EXPECT_TRUE(zip.StorePaths());
}

TEST(ZipWriterSettings, AssignCopiesTheWriterButNotItsDiskPreparation) {
    TZipWriter source, target;
    source.SetPackLevel(9);
    source.SetRelativePaths(true);
    source.SetExcludeList({"*.tmp"});
    source.MultiZipInfo().SetBlockSize(1000);
    source.SetMultiMode(TMultiMode::mmBlocks);
    int prepared = 0, completed = 0;
    source.OnPrepareNextDisk = [](TZipWriter&, int) {};
    source.OnZipComplete = [&](TZipWriter&, int) { ++completed; };
    target.OnPrepareNextDisk = [&](TZipWriter&, int) { ++prepared; };
    target.Assign(source);
    EXPECT_EQ(target.PackLevel(), 9);
    EXPECT_TRUE(target.RelativePaths());
    EXPECT_EQ(target.ExcludeList(), std::vector<std::string>{"*.tmp"});
    EXPECT_EQ(target.MultiZipInfo().BlockSize(), 1000);
    EXPECT_EQ(target.GetMultiMode(), TMultiMode::mmBlocks);
    target.OnPrepareNextDisk(target, 2);
    target.OnZipComplete(target, 0);
    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(completed, 1);
}

TEST(ZipWriterSettings, ASetThatFitsOnePartIsAPlainArchive) {
    test::TempDir t;
    test::WriterBench bench(t);
    bench.zip.MultiZipInfo().SetMultiMode(TMultiMode::mmBlocks);
    bench.zip.MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
    EXPECT_EQ(bench.zip.GetMultiMode(), TMultiMode::mmBlocks);
    EXPECT_EQ(bench.add({t.write("a.txt", "a")}), 1);
    EXPECT_TRUE(bench.zip.FilesList().empty());
    // Named as the archive, without a ".zfc".
    EXPECT_EQ(test::filesIn(t.path()), (std::vector<std::string>{"a.txt", "out.zip"}));
    test::expectToolsAccept(bench.archive);
}

struct NameCase {
    std::string name, root;
    bool paths, relative;
    std::string directory, fileName;
};

TEST(ZipWriterNames, EntryNamesFromFileNames) {
    const NameCase cases[] = {
        {"/r/sub/", "/r/", true, true, "sub/", ""},
        {"/r/sub/f.txt", "/r/", true, true, "sub/", "f.txt"},
        {"/r/f.txt", "/r/", true, true, "", "f.txt"},
        {"/R/f.txt", "/r/", true, true, "R/", "f.txt"}, // letter case counts
        {"/r/sub/f.txt", "/r/", true, false, "r/sub/", "f.txt"},
        {"/f.txt", "", true, false, "", "f.txt"},
        {"/r/sub/f.txt", "/r/", false, false, "", "f.txt"},
        {"/r/sub/", "/r/", false, false, "", ""},
    };
    for (const NameCase& c : cases) {
        const StoredPath stored = StoredEntryName(c.name, {c.root, c.paths, c.relative});
        EXPECT_EQ(stored.Directory, c.directory) << c.name;
        EXPECT_EQ(stored.FileName, c.fileName) << c.name;
    }
    EXPECT_EQ(ResolveName("sub/../x/a.txt", "/root/"), "/root/x/a.txt");
    EXPECT_EQ(ResolveName("/abs/dir/", "/root/"), "/abs/dir/");
    EXPECT_TRUE(MatchesMaskList({"*.TMP"}, "/a/b/c.tmp"));
    EXPECT_TRUE(MatchesMaskList({"*/b/*"}, "/a/b/c.txt"));
    EXPECT_FALSE(MatchesMaskList({"b*"}, "/a/b/c.txt"));
    EXPECT_FALSE(MatchesMaskList({}, "/a"));
}

// A tree: top.txt, pack.zip, empty.txt, sub/low.txt, sub/deeper/deep.txt.
struct Tree {
    test::TempDir t;
    test::WriterBench bench{t};
    std::vector<std::string> started, noSuch;
    std::vector<std::pair<TSkipReason, std::string>> skipped;

    Tree() {
        t.write("tree/top.txt", std::string(3000, 't'));
        t.write("tree/pack.zip", std::string(3000, 'z'));
        t.write("tree/empty.txt", "");
        t.write("tree/sub/low.txt", "low");
        t.write("tree/sub/deeper/deep.txt", "deep");
        bench.zip.SetRootDir(t.file("tree"));
        bench.zip.SetRelativePaths(true);
        bench.zip.OnStartZip = [this](TZipWriter&, const std::string& name, TZipHeaderInfo&,
                                      bool&) { started.push_back(name); };
        bench.zip.OnNoSuchFile = [this](TZipWriter&, const std::string& name) {
            noSuch.push_back(name);
        };
        bench.zip.OnSkippingFile = [this](TZipReader&, TSkipReason reason, const std::string& name,
                                          int, bool&) { skipped.emplace_back(reason, name); };
    }
    std::vector<std::string> names() {
        std::vector<std::string> all;
        for (int i = 0; i < bench.zip.GetEntryCount(); ++i)
            all.push_back(bench.zip.Entry(i).FullName());
        return all;
    }
};

TEST(ZipWriterMasks, PrefixesChooseRecursionAndRelativeDirectoriesStartAtTheRoot) {
    Tree tree;
    EXPECT_EQ(tree.bench.add({"|*.txt"}), 2); // Recurse is on, "|" searches one level
    EXPECT_EQ(tree.names(), (std::vector<std::string>{"empty.txt", "top.txt"}));

    tree.bench.zip.SetRecurse(false);
    tree.bench.zip.SetAddDirEntriesOnRecurse(true);
    EXPECT_EQ(tree.bench.add({">sub/*.txt", "sub/nothing/*.txt", "gone.txt"}), 3);
    EXPECT_EQ(tree.names(), (std::vector<std::string>{"empty.txt", "top.txt", "sub/deeper/",
                                                      "sub/deeper/deep.txt", "sub/low.txt"}));
    EXPECT_EQ(tree.noSuch, std::vector<std::string>{tree.t.file("tree/gone.txt")});
}

TEST(ZipWriterMasks, DuplicatesExclusionsAndStoredFiles) {
    Tree tree;
    tree.bench.zip.SetExcludeList({"*/sub/deeper/*", "*.TMP"});
    tree.bench.zip.SetNoCompressList({"*.zip"});
    tree.t.write("tree/junk.tmp", "x");
    EXPECT_EQ(tree.bench.add({"top.txt", tree.t.file("tree/top.txt"), "*.*"}), 4);
    EXPECT_EQ(tree.skipped.size(), 2u); // top.txt named twice more
    for (const auto& [reason, name] : tree.skipped) {
        EXPECT_EQ(reason, TSkipReason::srFileExists);
        EXPECT_EQ(name, tree.t.file("tree/top.txt"));
    }
    EXPECT_EQ(tree.names(),
              (std::vector<std::string>{"top.txt", "empty.txt", "pack.zip", "sub/low.txt"}));
    for (int i = 0; i < tree.bench.zip.GetEntryCount(); ++i) {
        const TZipHeaderInfo& e = tree.bench.zip.Entry(i);
        const std::string name = e.FullName();
        EXPECT_EQ(e.Flags & 8, 0) << name;
        EXPECT_EQ(e.Method, name == "top.txt" ? 8 : 0) << name; // low.txt would not shrink
        if (name == "empty.txt") {
            EXPECT_EQ(e.Crc32 | e.CompressedSize | e.UncompressedSize, 0u);
        }
    }
}

TEST(ZipWriterMasks, AHandlerRenamingToAStoredNameIsReportedAsADuplicate) {
    Tree tree;
    tree.bench.zip.OnStartZip = [](TZipWriter&, const std::string& name, TZipHeaderInfo& header,
                                   bool&) {
        if (name.ends_with("top.txt"))
            header.SetFileName("empty.txt");
    };
    EXPECT_EQ(tree.bench.add({"empty.txt", "top.txt"}), 1);
    EXPECT_EQ(tree.names(), std::vector<std::string>{"empty.txt"});
    ASSERT_EQ(tree.skipped.size(), 1u);
    EXPECT_EQ(tree.skipped[0].first, TSkipReason::srFileExists);
}

TEST(ZipWriterMasks, EncryptedEmptyFileAndHandlerEdits) {
    Tree tree;
    tree.bench.zip.SetPassword("pw");
    tree.bench.zip.OnStartZip = [](TZipWriter&, const std::string& name, TZipHeaderInfo& header,
                                   bool& skip) {
        skip = name.ends_with("low.txt");
        if (name.ends_with("top.txt")) {
            header.SetFileName("renamed.txt");
            header.SetComment("from the handler");
        }
    };
    EXPECT_EQ(tree.bench.add({"empty.txt", "top.txt", "sub/low.txt"}), 2);
    ASSERT_EQ(tree.names(), (std::vector<std::string>{"empty.txt", "renamed.txt"}));
    EXPECT_EQ(tree.bench.zip.Entry(0).CompressedSize, 12u);
    EXPECT_EQ(tree.bench.zip.Entry(0).Method, 0);
    EXPECT_TRUE(tree.bench.zip.GetEntryEncrypted(1));
    EXPECT_EQ(tree.bench.zip.GetEntryComment(1), "from the handler");
    test::expectToolsAccept(tree.bench.archive, "pw");

    // A fresh reader sees the same directory.
    TZipReader reader;
    reader.SetZipName(tree.bench.archive);
    reader.OpenAndReadDirectory();
    ASSERT_EQ(reader.GetEntryCount(), 2);
    EXPECT_EQ(reader.GetEntryComment(1), "from the handler");
}

TEST(ZipWriterSettings, ChangedCommentsAreWrittenBeforeTheNameChanges) {
    Tree tree;
    tree.bench.add({"top.txt"});
    tree.bench.zip.SetEntryComment(0, "later comment");
    tree.bench.zip.SetArchiveComment("archive comment");
    tree.bench.zip.SetFilesList({"for the next archive"});
    tree.bench.zip.SetZipName(tree.t.file("other.zip"));
    EXPECT_EQ(tree.bench.zip.FilesList(), std::vector<std::string>{"for the next archive"});
    std::string out;
    test::runCommand("unzip -z " + tree.bench.archive + " && zipnote " + tree.bench.archive, &out);
    EXPECT_NE(out.find("archive comment"), std::string::npos) << out;
    EXPECT_NE(out.find("later comment"), std::string::npos) << out;
}

} // namespace
