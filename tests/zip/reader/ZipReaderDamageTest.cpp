// Damaged, truncated and foreign files: clear errors or a directory rebuilt from the
// local headers; never a hang or a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ScriptedUiHost.h"
#include "zip/support/ZipReaderTestSupport.h"

using namespace kd;
using test::mustRun;
namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Names, sizes and CRCs only: what local headers can tell.
std::string localFacts(const std::string& listing) {
    std::istringstream in(listing);
    std::ostringstream out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("COMMENT", 0) == 0)
            continue;
        std::istringstream fields(line);
        std::string name, usize, csize, crc;
        std::getline(fields, name, '\t');
        std::getline(fields, usize, '\t');
        std::getline(fields, csize, '\t');
        std::getline(fields, crc, '\t');
        out << name << ' ' << usize << ' ' << csize << ' ' << crc << '\n';
    }
    return out.str();
}

// The offset of the central directory of a sound archive.
std::int64_t centralOffset(const std::string& archive) {
    TLFNFileStream s(archive);
    TEndCentral end;
    EXPECT_TRUE(end.FindAndReadEndRecord(s));
    return end.CentralOffsetOnDisk;
}

class ZipReaderDamage : public ::testing::Test {
protected:
    ZipReaderDamage() { test::makeReaderTree(t_); }

    std::string infoZip() {
        const std::string archive = t_.file("good.zip");
        if (!fs::exists(archive))
            mustRun("cd " + t_.file("tree") + " && zip -qr ../good.zip .");
        return archive;
    }
    std::string cut(const std::string& archive, std::int64_t length, const std::string& name) {
        return t_.write(name, readFile(archive).substr(0, static_cast<std::size_t>(length)));
    }
    void open(TZipReader& zip, const std::string& archive, TIncompleteZipMode mode) {
        zip.SetZipName(archive);
        zip.SetIncompleteZipMode(mode);
        zip.OpenAndReadDirectory();
    }

    test::TempDir t_;
};

TEST_F(ZipReaderDamage, TruncatedArchiveKeepsWhatItsLocalHeadersSay) {
    const std::string good = infoZip();
    const std::string oracle = test::zipfileListing(good);
    const auto size = static_cast<std::int64_t>(fs::file_size(good));
    const std::int64_t central = centralOffset(good);
    struct Case {
        std::int64_t length;
        bool fullListing; // the central headers survive and are merged
    };
    for (const Case c : {Case{size - 5, true}, Case{central + 60, false}, Case{central, false}}) {
        SCOPED_TRACE(c.length);
        const std::string damaged = cut(good, c.length, "cut.zip");
        TZipReader multi; // no handler: taken for a part of a set, left empty
        open(multi, damaged, TIncompleteZipMode::izAssumeMulti);
        EXPECT_EQ(multi.GetEntryCount(), 0);
        EXPECT_EQ(multi.ZipName(), damaged);

        TZipReader bad;
        open(bad, damaged, TIncompleteZipMode::izAssumeBad);
        if (c.fullListing)
            EXPECT_EQ(test::readerListing(bad), oracle);
        else
            EXPECT_EQ(localFacts(test::readerListing(bad)), localFacts(oracle));
        // The same file read again gives the same directory.
        const std::string first = test::readerListing(bad);
        bad.SetZipName("");
        open(bad, damaged, TIncompleteZipMode::izAssumeBad);
        EXPECT_EQ(test::readerListing(bad), first);

        TZipReader notZip;
        EXPECT_THROW(open(notZip, damaged, TIncompleteZipMode::izAssumeNotAZip), ENotAZipFile);
        EXPECT_EQ(notZip.ZipName(), "");
    }
}

TEST_F(ZipReaderDamage, EntryCutInItsDataIsStillListed) {
    const std::string good = infoZip();
    TZipReader whole;
    open(whole, good, TIncompleteZipMode::izAssumeBad);
    const int last = whole.GetEntryCount() - 1;
    const std::string damaged =
        cut(good, whole.Entry(last).LocalOffset + whole.Entry(last).LocalHeaderSize() + 1, "c.zip");
    TZipReader bad;
    open(bad, damaged, TIncompleteZipMode::izAssumeBad);
    EXPECT_EQ(bad.GetEntryCount(), whole.GetEntryCount());
}

TEST_F(ZipReaderDamage, ForeignBytesFailClearly) {
    const std::string noise = t_.write("noise.zip", test::randomBytes(300000));
    const std::string tiny = t_.write("tiny.zip", "PK\x03\x04 short");
    for (const std::string& file : {noise, tiny}) {
        SCOPED_TRACE(file);
        TZipReader zip;
        try {
            open(zip, file, TIncompleteZipMode::izAssumeBad);
            FAIL() << "opened";
        } catch (const EBadZipFile& e) {
            EXPECT_STREQ(e.what(), "Not a valid zip file!");
        }
        EXPECT_EQ(zip.ZipName(), "");
        EXPECT_EQ(zip.GetEntryCount(), 0);
        TZipReader notZip;
        EXPECT_THROW(open(notZip, file, TIncompleteZipMode::izAssumeNotAZip), ENotAZipFile);
    }
    // An empty file is an empty archive.
    TZipReader empty;
    open(empty, t_.write("empty.zip", ""), TIncompleteZipMode::izAssumeBad);
    EXPECT_EQ(empty.GetEntryCount(), 0);
    // A file that does not exist is the platform's open error.
    TZipReader missing;
    EXPECT_THROW(open(missing, t_.file("none.zip"), TIncompleteZipMode::izAssumeBad), EFOpenError);
}

TEST_F(ZipReaderDamage, StubInFrontIsSkippedByScanning) {
    const std::string good = infoZip();
    // A stub whose code holds the local signature, as an extractor's would.
    std::string stub = test::randomBytes(20000, 11);
    stub.replace(5000, 10, std::string("PK\x03\x04\x14\x00\x00\x00\x08\x00", 10));
    for (const std::string name : {"sfx.exe", "sfx.zip"}) {
        SCOPED_TRACE(name);
        const std::string sfx = t_.write(name, stub + readFile(good));
        TZipReader zip;
        open(zip, sfx, TIncompleteZipMode::izAssumeMulti);
        EXPECT_EQ(test::readerListing(zip), test::zipfileListing(sfx));
        // The offsets name the real local headers.
        const std::string bytes = readFile(sfx);
        for (int i = 0; i < zip.GetEntryCount(); ++i)
            EXPECT_EQ(bytes.substr(zip.Entry(i).LocalOffset, 4), "PK\x03\x04");
    }
    // zip -A adjusts the offsets: read without any repair.
    const std::string adjusted = t_.write("adjusted.exe", stub + readFile(good));
    mustRun("zip -qA " + adjusted);
    TZipReader zip;
    open(zip, adjusted, TIncompleteZipMode::izAssumeNotAZip);
    EXPECT_EQ(test::readerListing(zip), test::zipfileListing(adjusted));
}

TEST_F(ZipReaderDamage, StreamedEntriesWithoutSizesAreFoundThroughTheirDescriptors) {
    // A stored zip inside holds signatures that the descriptor search must pass over.
    mustRun("cd " + t_.file("tree") + " && zip -q0 nested.zip a.txt");
    const std::string archive = t_.file("bsd.zip");
    mustRun(
        "cd " + t_.file("tree") +
        " && bsdtar --format zip --options zip:compression=store -cf ../bsd.zip nested.zip a.txt"
        " && bsdtar --format zip -cf ../bsd-deflate.zip .");
    for (const std::string& full : {archive, t_.file("bsd-deflate.zip")}) {
        SCOPED_TRACE(full);
        const std::string oracle = test::zipfileListing(full);
        const std::string damaged = cut(full, centralOffset(full), "nodir.zip");
        TZipReader zip;
        open(zip, damaged, TIncompleteZipMode::izAssumeBad);
        EXPECT_EQ(localFacts(test::readerListing(zip)), localFacts(oracle));
    }
}

// A zipfile archive of three stored entries whose second central header is patched
// to point at the first entry's local header.
std::string duplicateOffsets(const test::TempDir& t, bool breakLocalHeaders) {
    const std::string archive = t.file("dup.zip");
    mustRun(std::string(R"(python3 -c '
import struct, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as zf:
    for name in ("one.txt", "two.txt", "three.txt"):
        zf.writestr(name, name * 10)
data = bytearray(open(sys.argv[1], "rb").read())
first = data.find(b"PK\x01\x02")
second = data.find(b"PK\x01\x02", first + 4)
data[second + 42:second + 46] = data[first + 42:first + 46]
if sys.argv[2] == "1":
    data = data.replace(b"PK\x03\x04", b"XY\x03\x04")
open(sys.argv[1], "wb").write(data)
' )") + archive +
            (breakLocalHeaders ? " 1" : " 0"));
    return archive;
}

TEST_F(ZipReaderDamage, DuplicateOffsetsKeepEveryCentralRecordListed) {
    // Extraction refuses the entries that share a header (ZipExtractHostileTest);
    // the directory lists every record, whether or not the local headers survive.
    for (const bool broken : {false, true}) {
        SCOPED_TRACE(broken);
        TZipReader zip;
        open(zip, duplicateOffsets(t_, broken), TIncompleteZipMode::izAssumeMulti);
        ASSERT_EQ(zip.GetEntryCount(), 3);
        std::vector<std::string> names;
        for (int i = 0; i < 3; ++i)
            names.push_back(zip.GetEntryFileName(i));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "three.txt", "two.txt"}));
        EXPECT_EQ(zip.Entry(0).LocalOffset, zip.Entry(1).LocalOffset);
    }
}

TEST_F(ZipReaderDamage, RebuiltDirectoryKeepsCentralRecordsNoLocalHeaderClaims) {
    // The end record is gone, so the directory is rebuilt from the local headers; the
    // central records that survive are merged, and one that names no local header the
    // scan found is listed as it is (its extraction then fails) instead of vanishing.
    const std::string good = infoZip();
    const std::int64_t central = centralOffset(good);
    std::string bytes = readFile(good);
    bytes[static_cast<std::size_t>(central) + 42] ^= 0x01; // the first record's offset
    bytes[static_cast<std::size_t>(central) + 16] ^= 0x01; // and its CRC
    bytes.resize(bytes.rfind("PK\x05\x06"));
    const std::string damaged = t_.write("moved.zip", bytes);
    TZipReader whole;
    open(whole, good, TIncompleteZipMode::izAssumeMulti);
    TZipReader zip;
    open(zip, damaged, TIncompleteZipMode::izAssumeBad);
    EXPECT_EQ(zip.GetEntryCount(), whole.GetEntryCount() + 1);
}

TEST_F(ZipReaderDamage, StubInFrontOfAnArchiveWithoutItsEndRecordListsEachEntryOnce) {
    // The central records' offsets miss the local headers by the stub's length; each
    // still finds the local header of its data.
    const std::string good = infoZip();
    std::string bytes = readFile(good);
    bytes.resize(bytes.rfind("PK\x05\x06"));
    const std::string damaged = t_.write("stub.zip", test::randomBytes(5000, 3) + bytes);
    TZipReader zip;
    open(zip, damaged, TIncompleteZipMode::izAssumeBad);
    EXPECT_EQ(test::readerListing(zip), test::zipfileListing(good));
}

TEST_F(ZipReaderDamage, Zip64IsRefusedClearly) {
    mustRun("cd " + t_.file("tree") + " && zip -q -fz ../z64.zip a.txt");
    TZipReader zip;
    try {
        open(zip, t_.file("z64.zip"), TIncompleteZipMode::izAssumeBad);
        FAIL() << "opened";
    } catch (const EZip64NotSupported& e) {
        EXPECT_NE(std::string(e.what()).find("ZIP64"), std::string::npos);
    }
    EXPECT_EQ(zip.ZipName(), "");
}

TEST_F(ZipReaderDamage, IncompleteHandlerIsAskedAgainOnlyAfterAChange) {
    const std::string good = infoZip();
    const std::string damaged = cut(good, centralOffset(good), "part.zip");
    TZipReader zip;
    int calls = 0;
    zip.OnInCompleteZip = [&](TZipReader&, TIncompleteZipMode&) { ++calls; };
    open(zip, damaged, TIncompleteZipMode::izAssumeMulti);
    EXPECT_EQ(calls, 1); // unchanged: no endless asking
    EXPECT_EQ(zip.GetEntryCount(), 0);

    // The handler brings the complete archive ("the last disk") and is asked no more.
    calls = 0;
    zip.OnInCompleteZip = [&](TZipReader&, TIncompleteZipMode&) {
        ++calls;
        fs::copy_file(good, damaged, fs::copy_options::overwrite_existing);
    };
    zip.OpenAndReadDirectory();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(test::readerListing(zip), test::zipfileListing(good));

    // A handler that chooses the repair.
    TZipReader repair;
    repair.OnInCompleteZip = [](TZipReader&, TIncompleteZipMode& mode) {
        mode = TIncompleteZipMode::izAssumeBad;
    };
    open(repair, cut(good, centralOffset(good), "part2.zip"), TIncompleteZipMode::izAssumeMulti);
    EXPECT_EQ(repair.GetEntryCount(), zip.GetEntryCount());
    EXPECT_EQ(repair.IncompleteZipMode(), TIncompleteZipMode::izAssumeBad);
}

// Cancels the running operation when the reader lets the interface breathe.
class CancellingHost : public test::ScriptedUiHost {
public:
    void processEvents() override {
        ScriptedUiHost::processEvents();
        if (zip)
            zip->CancelRunningOperation();
    }
    TZipReader* zip = nullptr;
};

TEST_F(ZipReaderDamage, CancelStopsTheScan) {
    const std::string noise = t_.write("noise.zip", test::randomBytes(200000));
    CancellingHost host;
    TZipReader zip;
    zip.SetUiHost(host);
    host.zip = &zip;
    try {
        open(zip, noise, TIncompleteZipMode::izAssumeBad);
        FAIL() << "opened";
    } catch (const EUserCanceled& e) {
        EXPECT_STREQ(e.what(), "User Aborted Operation");
    }
    EXPECT_EQ(host.pumps, 1);
    // Without message draining the scan runs to its end.
    zip.SetDoProcessMessages(false);
    EXPECT_THROW(open(zip, noise, TIncompleteZipMode::izAssumeBad), EBadZipFile);
    EXPECT_EQ(host.pumps, 1);
}

TEST_F(ZipReaderDamage, ArchiveRewrittenOnDiskIsReadAgain) {
    // Two archives of the same size with different names.
    const std::string a = t_.file("a.zip");
    const std::string b = t_.file("b.zip");
    mustRun("cd " + t_.file("tree") +
            " && cp a.txt x1.txt && cp a.txt y1.txt && zip -qX ../a.zip "
            "x1.txt && mv x1.txt x2.txt && zip -qX ../b.zip x2.txt");
    ASSERT_EQ(fs::file_size(a), fs::file_size(b));
    fs::copy_file(a, t_.file("first.zip"));
    TZipReader zip;
    zip.SetKeepZipOpen(true);
    open(zip, a, TIncompleteZipMode::izAssumeMulti);
    const TZipHeaderInfo* first = &zip.Entry(0);
    zip.OpenAndReadDirectory(); // unchanged: the same directory
    EXPECT_EQ(&zip.Entry(0), first);
    fs::copy_file(b, a, fs::copy_options::overwrite_existing); // the same file, rewritten
    // File times advance in clock ticks of some milliseconds: make sure this one moved.
    fs::last_write_time(a, fs::last_write_time(a) + std::chrono::nanoseconds(1));
    zip.OpenAndReadDirectory();
    EXPECT_EQ(zip.GetEntryFileName(0), "x2.txt");
    fs::rename(t_.file("first.zip"), a); // replaced by another file behind the open handle
    zip.OpenAndReadDirectory();
    EXPECT_EQ(zip.GetEntryFileName(0), "x1.txt");
}

} // namespace
