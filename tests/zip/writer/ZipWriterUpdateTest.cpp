// Updating, replacing and freshening an existing archive; cancelled runs; dispose.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;
using test::mustRun;

namespace {

struct Update {
    TUpdateAction action;
    int index;
    bool operator==(const Update&) const = default;
};

// A tree and an archive of it made by Info-ZIP, with comments, a directory entry
// and a name whose bytes are not UTF-8 (a Linux file name in a legacy encoding).
struct OldArchive {
    test::TempDir t;
    std::string root = t.file("tree") + "/";
    test::WriterBench bench{t};
    std::vector<Update> updates;

    OldArchive() {
        t.write("tree/a.txt", std::string(5000, 'a'));
        t.write("tree/b.txt", "old b");
        t.write("tree/sub/c.txt", test::randomBytes(3000));
        t.write("tree/\xE8"
                "esky.txt",
                "legacy name");
        mustRun("cd " + root +
                " && zip -qr ../out.zip . && printf '@ a.txt\\nthe a comment\\n@ "
                "(comment above this line)\\n@ (zip file comment below this line)\\nthe "
                "archive\\n' | zipnote -w ../out.zip");
        bench.zip.SetRootDir(root);
        bench.zip.SetRelativePaths(true);
        bench.zip.OnUpdate = [this](TZipWriter&, TUpdateAction action, int index) {
            updates.push_back({action, index});
        };
    }
    int replaced() const {
        int n = 0;
        for (const Update& u : updates)
            n += u.action == TUpdateAction::uaReplaceEntry;
        return n;
    }
};

int commentedIndex(TZipWriter& zip) {
    for (int i = 0; i < zip.GetEntryCount(); ++i)
        if (zip.GetEntryHasComment(i))
            return i;
    return -1;
}

TEST(ZipWriterUpdate, KeepsUnchangedEntriesByteForByteAndReplacesNewerFiles) {
    OldArchive old;
    const auto recordsBefore = test::localRecords(old.bench.archive);
    const auto centralBefore = test::centralFields(old.bench.archive);
    old.t.write("tree/b.txt", "new b, longer than before");
    test::touchBy(old.t.file("tree/b.txt"), 10);
    old.t.write("tree/d.txt", "added");

    EXPECT_EQ(old.bench.add({"*.*"}), 2); // b replaced, d added

    const auto recordsAfter = test::localRecords(old.bench.archive);
    const auto centralAfter = test::centralFields(old.bench.archive);
    EXPECT_EQ(recordsBefore.size(), 5u);
    for (const auto& [name, record] : recordsBefore) {
        if (name == "b.txt")
            continue;
        EXPECT_EQ(recordsAfter.at(name), record) << name;
        EXPECT_EQ(centralAfter.at(name), centralBefore.at(name)) << name;
    }
    EXPECT_NE(recordsAfter.at("b.txt"), recordsBefore.at("b.txt"));
    std::string out;
    test::runCommand("unzip -z " + old.bench.archive, &out);
    EXPECT_NE(out.find("the archive"), std::string::npos) << out;
    EXPECT_EQ(old.bench.zip.GetArchiveComment(), "the archive");
    ASSERT_EQ(old.bench.zip.GetEntryCount(), 6);
    EXPECT_EQ(old.bench.zip.GetEntryFileName(5), "d.txt"); // new entries come last
    EXPECT_EQ(old.replaced(), 1);
    EXPECT_EQ(old.updates.size(), 4u); // every old file; the directory entry is not named
    test::expectToolsAccept(old.bench.archive);
}

TEST(ZipWriterUpdate, CopiesDataDescriptorsAndRunsRepeatedly) {
    test::TempDir t;
    t.write("tree/a.txt", "alpha");
    mustRun("cd " + t.file("tree") + R"( && python3 -c '
import zipfile
with open("../out.zip", "wb") as raw:
    class Pipe:  # not seekable: zipfile writes data descriptors
        def write(self, b): return raw.write(b)
        def flush(self): raw.flush()
    with zipfile.ZipFile(Pipe(), "w", zipfile.ZIP_DEFLATED) as zf:
        zf.writestr("streamed.txt", "streamed " * 500)
        zf.writestr("stored.txt", "stored", compress_type=zipfile.ZIP_STORED)
')");
    const auto before = test::localRecords(t.file("out.zip"));
    test::WriterBench bench(t);
    bench.zip.SetRootDir(t.file("tree"));
    EXPECT_EQ(bench.add({"a.txt"}), 1);
    EXPECT_EQ(bench.add({}), 0); // an empty list rewrites the archive unchanged
    const auto after = test::localRecords(bench.archive);
    EXPECT_EQ(after.at("streamed.txt"), before.at("streamed.txt"));
    EXPECT_EQ(after.at("stored.txt"), before.at("stored.txt"));
    std::string streamed;
    for (int i = 0; i < 500; ++i)
        streamed += "streamed ";
    EXPECT_EQ(test::zipfileMismatches(bench.archive, {{"streamed.txt", t.write("s", streamed)},
                                                      {"stored.txt", t.write("x", "stored")},
                                                      {"a.txt", t.file("tree/a.txt")}}),
              "");
    test::expectToolsAccept(bench.archive);
}

TEST(ZipWriterUpdate, EqualDatesKeepReplaceRewritesFreshenAddsNothingNew) {
    OldArchive old;
    EXPECT_EQ(old.bench.add({"a.txt", "b.txt"}), 0);
    EXPECT_EQ(old.updates.size(), 2u);
    EXPECT_EQ(old.replaced(), 0);
    EXPECT_EQ(old.bench.zip.GetEntryComment(commentedIndex(old.bench.zip)), "the a comment");

    old.updates.clear();
    old.bench.zip.SetZipAction(TZipAction::zaReplace);
    EXPECT_EQ(old.bench.add({"a.txt", "b.txt"}), 2);
    EXPECT_EQ(old.replaced(), 2);

    old.bench.zip.SetZipAction(TZipAction::zaFreshen);
    old.t.write("tree/new.txt", "new");
    old.t.write("tree/b.txt", "newer b");
    test::touchBy(old.t.file("tree/b.txt"), 10);
    EXPECT_EQ(old.bench.add({"*.*"}), 1);
    EXPECT_EQ(old.bench.zip.GetEntryCount(), 5);

    test::WriterBench fresh(old.t);
    fresh.zip.SetZipName(old.t.file("none.zip"));
    fresh.zip.SetZipAction(TZipAction::zaFreshen);
    fresh.zip.SetRootDir(old.root);
    EXPECT_EQ(fresh.add({"*.*"}), 0);
}

TEST(ZipWriterUpdate, FreshenAfterTheArchiveWasDeletedAddsNothing) {
    OldArchive old;
    EXPECT_EQ(old.bench.add({"*.*"}), 0); // the directory of out.zip is now in memory
    std::filesystem::remove(old.bench.archive);
    old.t.write("tree/b.txt", "newer b");
    test::touchBy(old.t.file("tree/b.txt"), 10);

    old.bench.zip.SetZipAction(TZipAction::zaFreshen);
    EXPECT_EQ(old.bench.add({"*.*", "a.txt"}), 0);
    EXPECT_EQ(old.bench.zip.GetEntryCount(), 0);
    EXPECT_EQ(test::zipfileMismatches(old.bench.archive, {}), "");
}

// Runs the writer over every file and expects it to stop with message, leaving the
// archive as before and no temporary file.
void expectCanceled(OldArchive& old, const std::string& before, const char* message) {
    try {
        old.bench.add({"*.*"});
        ADD_FAILURE() << "not stopped";
    } catch (const EUserCanceled& e) {
        EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(test::fileBytes(old.bench.archive), before);
    EXPECT_EQ(test::filesIn(old.t.path()), std::vector<std::string>{"out.zip"});
}

TEST(ZipWriterUpdate, CancelOrStopLeavesTheOldArchiveAndTheSourcesAlone) {
    OldArchive old;
    const std::string before = test::fileBytes(old.bench.archive);
    old.t.write("tree/x.txt", test::randomBytes(200000));
    old.t.write("tree/y.txt", test::randomBytes(200000, 9));
    test::touchBy(old.t.file("tree/b.txt"), 10);
    old.bench.zip.SetDispose(true);
    old.bench.zip.SetResetArchiveBitOnZip(true);
    old.bench.zip.OnEndZip = [](TZipWriter& sender, const std::string&, std::uint32_t,
                                std::uint32_t, std::int64_t) { sender.CancelRunningOperation(); };
    expectCanceled(old, before, kMsgUserAborted);
    EXPECT_TRUE(std::filesystem::exists(old.t.file("tree/b.txt")));
    EXPECT_EQ(old.bench.attributes.resets, 0);
    EXPECT_TRUE(old.bench.zip.FilesList().empty());

    old.bench.zip.OnEndZip = nullptr;
    old.bench.zip.OnStartZipInfo = [](TZipWriter&, int numFiles, std::int64_t totalBytes,
                                      TEndCentral&, bool& stopNow) {
        EXPECT_EQ(numFiles, 2); // x and y: b went in the place of its old entry
        EXPECT_GT(totalBytes, 400000);
        stopNow = true;
    };
    expectCanceled(old, before, kMsgCanceledZip);
}

TEST(ZipWriterUpdate, DisposeDeletesOnlyWhatTheArchiveHolds) {
    test::TempDir t;
    t.write("tree/a.txt", "a");
    t.write("tree/b.txt", "b");
    t.write("tree/keep.txt", "k");
    test::WriterBench bench(t);
    bench.zip.SetRootDir(t.file("tree"));
    bench.zip.SetDispose(true);
    std::vector<std::string> asked;
    bench.zip.OnDisposeFile = [&](TZipWriter&, const std::string& name, bool& skip) {
        asked.push_back(name);
        skip = name.ends_with("keep.txt");
    };
    EXPECT_EQ(bench.add({"*.txt"}), 3);
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(test::filesIn(t.file("tree")), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(test::zipfileMismatches(bench.archive, {{"a.txt", t.write("a", "a")},
                                                      {"b.txt", t.write("b", "b")},
                                                      {"keep.txt", t.file("tree/keep.txt")}}),
              "");
}

} // namespace

// A central header whose extra field runs past the end cannot be copied raw; the
// header written afresh has no extra field, and the directory size must say so.
TEST(ZipWriterUpdate, DamagedCentralExtraLengthStillGivesAReadableArchive) {
    test::TempDir t;
    test::WriterBench bench(t);
    bench.zip.SetRootDir(t.path() + "/");
    t.write("a.txt", std::string(3000, 'a'));
    bench.add({"a.txt"});
    std::string bytes = test::fileBytes(bench.archive);
    const std::size_t central = bytes.rfind("PK\x01\x02");
    bytes[central + 31] = '\x40'; // extra field length 16384
    std::ofstream(bench.archive, std::ios::binary | std::ios::trunc) << bytes;

    t.write("new.txt", "new");
    bench.add({"new.txt"});
    EXPECT_EQ(test::zipfileMismatches(bench.archive,
                                      {{"a.txt", t.file("a.txt")}, {"new.txt", t.file("new.txt")}}),
              "");
}
