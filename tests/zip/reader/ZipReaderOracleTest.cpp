// Archives written by other tools open and list the same as Python's zipfile lists them.
#include <gtest/gtest.h>

#include "zip/support/ZipReaderTestSupport.h"

using namespace kd;
using test::mustRun;

namespace {

struct Made {
    std::string name;    // test name
    std::string command; // run in t/tree, writes ../out.zip
};

void PrintTo(const Made& made, std::ostream* out) {
    *out << made.name;
}

class ZipReaderOracle : public ::testing::TestWithParam<Made> {};

TEST_P(ZipReaderOracle, OpensAndListsLikeZipfile) {
    test::TempDir t;
    test::makeReaderTree(t);
    mustRun("cd " + t.file("tree") + " && " + GetParam().command);
    const std::string archive = t.file("out.zip");
    TZipReader zip;
    zip.SetZipName(archive);
    zip.OpenAndReadDirectory();
    EXPECT_EQ(zip.ZipName(), archive);
    EXPECT_GT(zip.GetEntryCount(), 0);
    EXPECT_EQ(zip.GetMultiMode(), TMultiMode::mmNone);
    EXPECT_EQ(test::readerListing(zip), test::zipfileListing(archive));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, ZipReaderOracle,
    ::testing::Values(
        Made{"InfoZip", "zip -qr ../out.zip ."},
        Made{"InfoZipWithComments",
             "zip -qr ../out.zip . && printf '@ a.txt\\nthe a comment\\n@ (comment above this "
             "line)\\n@ (zip file comment below this line)\\nthe archive comment\\n' | zipnote -w "
             "../out.zip"},
        Made{"InfoZipArchiveCommentOnly",
             "zip -qr ../out.zip . && printf 'only the archive' | zip -qz ../out.zip"},
        Made{"InfoZipEncrypted", "zip -qr -P secret ../out.zip ."},
        Made{"InfoZipStoredNoDirs", "zip -qr -0 -D ../out.zip ."},
        Made{"SevenZip", "7z a -tzip -bd ../out.zip . >/dev/null"},
        Made{"SevenZipEncrypted", "7z a -tzip -bd -psecret ../out.zip . >/dev/null"},
        Made{"Bsdtar", "bsdtar --format zip -cf ../out.zip ."},
        Made{"BsdtarStored",
             "bsdtar --format zip --options zip:compression=store -cf ../out.zip ."},
        Made{"PythonZipfile", R"(python3 -c '
import zipfile
with zipfile.ZipFile("../out.zip", "w") as zf:
    zf.writestr("stored.txt", "stored", compress_type=zipfile.ZIP_STORED)
    zf.writestr("dir/deflated.txt", "deflated " * 100, compress_type=zipfile.ZIP_DEFLATED)
    zf.writestr("dir/", "")
    info = zipfile.ZipInfo("dir/c.txt", date_time=(2099, 12, 31, 23, 59, 58))
    info.comment = b"an entry comment"
    zf.writestr(info, "x")
    zf.comment = b"archive comment"
')"},
        Made{"PythonZipfileStreamed", R"(python3 -c '
import zipfile
with open("../out.zip", "wb") as raw:
    class Pipe:  # not seekable: zipfile writes data descriptors
        def write(self, b): return raw.write(b)
        def flush(self): raw.flush()
    with zipfile.ZipFile(Pipe(), "w", zipfile.ZIP_DEFLATED) as zf:
        zf.write("a.txt")
        zf.write("sub/b.bin")
')"}),
    [](const auto& made) { return made.param.name; });

TEST(ZipReaderOracleDetails, CommentsLoadOnDemandWithoutMarkingTheArchive) {
    test::TempDir t;
    test::makeReaderTree(t);
    mustRun("cd " + t.file("tree") +
            " && zip -qr ../out.zip a.txt empty.txt && printf '@ "
            "a.txt\\nnote\\n@ (comment above this line)\\n' | zipnote -w ../out.zip");
    TZipReader zip;
    zip.SetZipName(t.file("out.zip"));
    zip.OpenAndReadDirectory();
    ASSERT_EQ(zip.GetEntryCount(), 2);
    EXPECT_TRUE(zip.GetEntryHasComment(0));
    EXPECT_FALSE(zip.Entry(0).Comment().has_value()); // not read with the directory
    EXPECT_EQ(zip.GetEntryComment(0), "note");
    EXPECT_EQ(zip.GetEntryComment(1), "");
    EXPECT_EQ(zip.GetArchiveComment(), "");
    zip.SetEntryComment(0, "note");
    zip.SetArchiveComment("");
    std::vector<std::string> lines;
    zip.ListContents(lines);
    EXPECT_EQ(lines[0].substr(0, 7), "a.txt@\t");
    zip.SetEntryComment(1, "new");
    EXPECT_EQ(zip.GetEntryComment(1), "new");
    EXPECT_TRUE(zip.GetEntryHasComment(1));
}

} // namespace
