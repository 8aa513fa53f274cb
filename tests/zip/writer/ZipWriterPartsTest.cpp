// Archives written as numbered part files.
#include <gtest/gtest.h>

#include <filesystem>

#include "zip/format/ZfcFile.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterPartsTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A writer of numbered parts into t/out/backup.zip, its temporary files in t/tmp.
struct Numbered {
    test::TempDir t;
    test::WriterBench bench{t};
    std::string dir = t.file("out");
    std::string zipName = dir + "/backup.zip";

    Numbered(std::int32_t first, std::int32_t next) {
        fs::create_directories(dir);
        fs::create_directories(t.file("tmp"));
        bench.zip.SetTempPath(t.file("tmp"));
        sizes(first, next);
        bench.zip.SetMultiMode(TMultiMode::mmBlocks);
    }
    void sizes(std::int32_t first, std::int32_t next) {
        bench.zip.MultiZipInfo().SetFirstBlockSize(first);
        bench.zip.MultiZipInfo().SetBlockSize(next);
    }
    int write(const std::vector<std::string>& items) {
        bench.zip.SetZipName(zipName); // a set of several parts leaves the last part's name
        return bench.add(items);
    }
    std::string part(int n) const { return PartFileName(zipName, n); }
    std::vector<std::string> parts() const {
        return test::partNames(zipName, test::filesIn(dir).size());
    }
    // Every file of the output directory with its bytes.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> all;
        for (const auto& name : test::filesIn(dir))
            all[name] = test::fileBytes(dir + "/" + name);
        return all;
    }
};

// Stored files of known sizes, so that every record's place is known.
struct Stored : Numbered {
    Stored(std::int32_t first, std::int32_t next) : Numbered(first, next) {
        bench.zip.SetRootDir(t.file("src"));
        bench.zip.SetPackLevel(0);
    }
    void file(const std::string& name, std::size_t size) {
        t.write("src/" + name, test::randomBytes(size, static_cast<unsigned>(size)));
    }
};

// ThisDisk, CentralDisk, entries on this disk, total entries, central size and offset
// of the end record of a part.
std::string endRecord(const std::string& part) {
    std::string out;
    test::runCommand("python3 -c 'import struct, sys\n"
                     "d = open(sys.argv[1], \"rb\").read(); i = d.rfind(b\"PK\\x05\\x06\")\n"
                     "print(*struct.unpack(\"<4HLL\", d[i + 4:i + 20]))' '" +
                         part + "'",
                     &out);
    return out;
}

} // namespace

TEST(ZipWriterParts, ASetOfPartsPassesTheOraclesAndReadsBack) {
    Numbered w(100000, 60000);
    test::PartsSource source(w.t);
    w.bench.zip.SetRootDir(source.root);
    w.bench.zip.SetRelativePaths(true);
    w.bench.zip.SetPassword("secret");
    EXPECT_EQ(w.write({"*"}), source.count());
    const auto parts = w.parts();
    ASSERT_GE(parts.size(), 4u) << "the tree fills several parts";
    // backup.001 of at most the first size, then parts of at most the next size; the
    // component then names the last part.
    EXPECT_EQ(parts[0], w.part(1));
    EXPECT_LE(fs::file_size(parts[0]), 100000u);
    for (std::size_t n = 1; n < parts.size(); ++n)
        EXPECT_LE(fs::file_size(parts[n]), 60000u) << n;
    EXPECT_EQ(w.bench.zip.ZipName(), parts.back());
    EXPECT_EQ(w.bench.zip.GetEntryCount(), source.count());
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());

    const std::string joined = test::joinWithInfoZip(w.t, parts, "secret");
    EXPECT_EQ(test::zipfileMismatches(joined, source.files, "secret"), "");
    test::expectSevenZipReadsSplit(w.t, parts, "secret");
    test::expectReaderExtracts(w.t, parts.back(), source, "secret");
}

TEST(ZipWriterParts, RecordsStayWholeDataRunsOnAndFullPartsStartTheNext) {
    // a fills the first part exactly; b's data runs over three parts; the central
    // directory starts in the fourth part and ends in the fifth.
    // Each local header is 44 bytes (name and time field), each central header 60.
    Stored w(44 + 1000, 1100);
    w.file("a.bin", 1000);
    w.file("b.bin", 3000);
    w.file("c.bin", 143);
    EXPECT_EQ(w.write({"a.bin", "b.bin", "c.bin"}), 3);
    const auto parts = w.parts();
    ASSERT_EQ(parts.size(), 5u);
    std::vector<std::uintmax_t> sizes;
    for (const auto& part : parts)
        sizes.push_back(fs::file_size(part));
    // 44 + 1056 of b | 1100 of b | 844 of b, c (187), one central header (60) | the
    // other two and the end record.
    EXPECT_EQ(sizes, (std::vector<std::uintmax_t>{1044, 1100, 1100, 1091, 142}));
    EXPECT_EQ(endRecord(parts.back()), "4 3 0 3 180 1031\n");

    TZipReader reader;
    reader.SetZipName(parts.back());
    reader.OpenAndReadDirectory();
    ASSERT_EQ(reader.GetEntryCount(), 3);
    EXPECT_EQ(reader.GetEntryDiskNumber(0), 1);
    EXPECT_EQ(reader.GetEntryDiskNumber(1), 2);
    EXPECT_EQ(reader.GetEntryDiskNumber(2), 4);
    const std::string joined = test::joinWithInfoZip(w.t, parts);
    EXPECT_EQ(test::zipfileMismatches(joined, {{"a.bin", w.t.file("src/a.bin")},
                                               {"b.bin", w.t.file("src/b.bin")},
                                               {"c.bin", w.t.file("src/c.bin")}}),
              "");
    test::expectSevenZipReadsSplit(w.t, parts);
}

TEST(ZipWriterParts, TheDirectoryFileStandsInForTheLastPart) {
    Numbered w(100000, 60000);
    test::PartsSource source(w.t);
    w.bench.zip.SetRootDir(source.root);
    w.bench.zip.SetRelativePaths(true);
    w.bench.zip.MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
    w.write({"*"});
    const auto parts = w.parts();
    ASSERT_GE(parts.size(), 4u); // the parts and backup.zfc
    const std::string zfc = w.dir + "/backup.zfc";
    ASSERT_TRUE(fs::exists(zfc));

    TZipReader whole;
    whole.SetZipName(w.bench.zip.ZipName());
    whole.OpenAndReadDirectory();
    const std::string listing = test::readerListing(whole);
    EXPECT_EQ(whole.GetEntryCount(), source.count());

    // Without the last part the directory comes from the side file.
    fs::remove(w.bench.zip.ZipName());
    TZipReader first;
    first.SetZipName(w.part(1));
    first.OpenAndReadDirectory();
    EXPECT_EQ(test::readerListing(first), listing);
}

TEST(ZipWriterParts, ANewSetRemovesWhatIsLeftOfAnOlderOne) {
    Stored w(3000, 3000);
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin"})
        w.file(name, 5000);
    const std::vector<std::string> all = {"a.bin", "b.bin", "c.bin", "d.bin"};
    w.bench.zip.MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
    w.write(all);
    EXPECT_TRUE(fs::exists(w.part(7)) && fs::exists(w.dir + "/backup.zfc")); // ~20 KB / 3000

    // Fewer, larger parts and no side file: the old parts beyond and the .zfc go.
    w.bench.zip.MultiZipInfo().SetSaveZipInfoOnFirstDisk(false);
    w.sizes(12000, 12000);
    w.write(all);
    EXPECT_EQ(test::filesIn(w.dir), (std::vector<std::string>{"backup.001", "backup.002"}));
    test::joinWithInfoZip(w.t, w.parts());

    // One part takes the archive's own name; all numbered parts go.
    w.sizes(1000000, 1000000);
    w.write(all);
    EXPECT_EQ(test::filesIn(w.dir), std::vector<std::string>{"backup.zip"});
    EXPECT_EQ(w.bench.zip.ZipName(), w.zipName);
    test::expectToolsAccept(w.zipName);

    // And the single archive goes when a set of several parts follows.
    w.sizes(12000, 12000);
    w.write(all);
    EXPECT_EQ(test::filesIn(w.dir), (std::vector<std::string>{"backup.001", "backup.002"}));
}

TEST(ZipWriterParts, CancelAndAFullDiskLeaveThePreviousSetAsItWas) {
    Stored w(6000, 6000);
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin"})
        w.file(name, 5000);
    const std::vector<std::string> all = {"a.bin", "b.bin", "c.bin", "d.bin"};
    w.write(all);
    const auto before = w.contents();
    ASSERT_GE(before.size(), 3u);

    // Cancelled while the second part is written (every file written again).
    w.bench.zip.SetZipAction(TZipAction::zaReplace);
    int ended = 0;
    w.bench.zip.OnEndZip = [&](TZipWriter& sender, const std::string&, std::uint32_t, std::uint32_t,
                               std::int64_t) {
        if (++ended == 3)
            sender.CancelRunningOperation();
    };
    w.t.write("src/b.bin", "changed");
    EXPECT_THROW(w.write(all), EUserCanceled);
    EXPECT_EQ(w.contents(), before);
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());

    // A disk that fills up before the part does.
    w.bench.zip.OnEndZip = nullptr;
    w.sizes(40000, 40000);
    {
        test::FileSizeLimit limit(8000);
        EXPECT_THROW(w.write(all), Exception);
    }
    EXPECT_EQ(w.contents(), before);
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());
}

TEST(ZipWriterParts, PartsTooSmallForARecordAreRefused) {
    Stored w(20, 1000);
    w.file("a.bin", 100);
    EXPECT_THROW(w.write({"a.bin"}), ENotEnoughRoom);
    w.sizes(1000, 0);
    EXPECT_THROW(w.write({"a.bin"}), Exception);
    EXPECT_TRUE(test::filesIn(w.dir).empty());
}

TEST(ZipWriterParts, TheEndRecordNeverStandsAloneInTheLastPart) {
    // The first part has room for a's local header, data and central header exactly;
    // the end record would then make up the second part on its own, which Info-ZIP and
    // 7-Zip reject. The central header goes along with it instead.
    Stored w(44 + 100 + 60, 1000);
    w.file("a.bin", 100);
    EXPECT_EQ(w.write({"a.bin"}), 1);
    const auto parts = w.parts();
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(fs::file_size(parts[0]), 144u);
    EXPECT_EQ(fs::file_size(parts[1]), 60u + 22u);
    const std::string joined = test::joinWithInfoZip(w.t, parts);
    EXPECT_EQ(test::zipfileMismatches(joined, {{"a.bin", w.t.file("src/a.bin")}}), "");
    test::expectSevenZipReadsSplit(w.t, parts);
}

namespace {

// A set of numbered parts from the tree of PartsSource, its files dated an hour back
// so that an update keeps them unless they change.
struct UpdatedSet : Numbered {
    test::PartsSource source{t};
    UpdatedSet() : Numbered(100000, 60000) {
        bench.zip.SetRootDir(source.root);
        bench.zip.SetRelativePaths(true);
        for (const auto& [name, path] : source.files)
            age(path);
        EXPECT_EQ(write({"*"}), source.count());
    }
    static void age(const std::string& path) {
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    // A file of the tree (new or changed), dated now.
    std::string put(const std::string& name, const std::string& bytes) {
        return source.files[name] = t.write("src/" + name, bytes);
    }
};

} // namespace

TEST(ZipWriterPartsUpdate, ASetUpdatedTwiceKeepsItsEntriesAndPassesTheOracles) {
    UpdatedSet w;
    const std::size_t partsBefore = w.parts().size();
    ASSERT_GE(partsBefore, 4u);

    // A file replaced: only it is written; the others are copied from the old parts,
    // the random ones running over part ends in both sets.
    std::vector<int> kept;
    w.bench.zip.OnUpdate = [&](TZipWriter&, TUpdateAction action, int index) {
        if (action == TUpdateAction::uaKeepEntry)
            kept.push_back(index);
    };
    const std::string changed = w.put("random/b.bin", test::randomBytes(150000, 7));
    EXPECT_EQ(w.write({changed, w.source.files["random/a.bin"]}), 1);
    EXPECT_EQ(kept.size(), 1u) << "a.bin is up to date";
    EXPECT_EQ(w.bench.zip.GetEntryCount(), w.source.count());

    // A file added, into larger parts: the old set's surplus parts go.
    w.sizes(200000, 150000);
    EXPECT_EQ(w.write({w.put("text/added.txt", std::string(40000, 'x'))}), 1);
    const auto parts = w.parts();
    ASSERT_LT(parts.size(), partsBefore);
    EXPECT_EQ(test::filesIn(w.dir).size(), parts.size());
    EXPECT_EQ(w.bench.zip.GetEntryCount(), w.source.count());
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());

    const std::string joined = test::joinWithInfoZip(w.t, parts);
    EXPECT_EQ(test::zipfileMismatches(joined, w.source.files), "");
    test::expectSevenZipReadsSplit(w.t, parts);
    test::expectReaderExtracts(w.t, parts.back(), w.source);
}

TEST(ZipWriterPartsUpdate, AnUpdateOfAFileOrOfOnePartBecomesASetAndBack) {
    Stored w(1000000, 1000000);
    w.file("a.bin", 5000);
    w.file("b.bin", 6000);
    EXPECT_EQ(w.write({"a.bin"}), 1);
    ASSERT_EQ(test::filesIn(w.dir), std::vector<std::string>{"backup.zip"});

    // The single archive's entry is carried into a set of several parts.
    w.sizes(4000, 4000);
    EXPECT_EQ(w.write({"b.bin"}), 1);
    const auto parts = w.parts();
    ASSERT_GE(parts.size(), 3u);
    EXPECT_EQ(test::zipfileMismatches(
                  test::joinWithInfoZip(w.t, parts),
                  {{"a.bin", w.t.file("src/a.bin")}, {"b.bin", w.t.file("src/b.bin")}}),
              "");

    // And back into one file under the archive's name.
    w.sizes(1000000, 1000000);
    w.file("c.bin", 10);
    EXPECT_EQ(w.write({"c.bin"}), 1);
    EXPECT_EQ(test::filesIn(w.dir), std::vector<std::string>{"backup.zip"});
    EXPECT_EQ(test::zipfileMismatches(w.zipName, {{"a.bin", w.t.file("src/a.bin")},
                                                  {"b.bin", w.t.file("src/b.bin")},
                                                  {"c.bin", w.t.file("src/c.bin")}}),
              "");
}

TEST(ZipWriterPartsUpdate, FreshenReplacesNewerFilesOfTheSetAndAddsNothing) {
    Stored w(4000, 4000);
    w.file("a.bin", 5000);
    EXPECT_EQ(w.write({"a.bin"}), 1);
    w.t.write("src/a.bin", test::randomBytes(6000, 9));
    fs::last_write_time(w.t.file("src/a.bin"),
                        fs::file_time_type::clock::now() + std::chrono::seconds(5));
    w.file("b.bin", 100);
    w.bench.zip.SetZipAction(TZipAction::zaFreshen);
    EXPECT_EQ(w.write({"a.bin", "b.bin"}), 1);
    EXPECT_EQ(test::zipfileMismatches(test::joinWithInfoZip(w.t, w.parts()),
                                      {{"a.bin", w.t.file("src/a.bin")}}),
              "");
}

TEST(ZipWriterPartsUpdate, ACancelledOrFailedUpdateLeavesTheOldSetAsItWas) {
    UpdatedSet w;
    const auto before = w.contents();
    const std::string changed = w.put("text/long.txt", "changed");

    // Cancelled while old entries are copied, after the replaced file was written.
    int keptSoFar = 0;
    w.bench.zip.OnUpdate = [&](TZipWriter& sender, TUpdateAction action, int) {
        if (action == TUpdateAction::uaKeepEntry && ++keptSoFar == 3)
            sender.CancelRunningOperation();
    };
    EXPECT_THROW(w.write({"*"}), EUserCanceled);
    EXPECT_GE(keptSoFar, 3);
    EXPECT_EQ(w.contents(), before);
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());

    // A part of the old set missing: its entries cannot be carried over.
    w.bench.zip.OnUpdate = nullptr;
    fs::remove(w.part(2));
    EXPECT_THROW(w.write({changed}), Exception);
    auto withoutSecond = before;
    withoutSecond.erase("backup.002");
    EXPECT_EQ(w.contents(), withoutSecond);

    // A part shorter than it was: the entries behind it would be copied shifted.
    const std::string& second = before.at("backup.002");
    w.t.write("out/backup.002", second.substr(0, second.size() - 100));
    EXPECT_THROW(w.write({changed}), EBadZipFile);
    EXPECT_EQ(test::fileBytes(w.part(1)), before.at("backup.001"));
    EXPECT_EQ(test::fileBytes(w.part(3)), before.at("backup.003"));
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());
}
