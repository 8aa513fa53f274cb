#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "TestPaths.h"
#include "platform/MemoryStream.h"
#include "support/TempDir.h"
#include "zip/base/DosDateTime.h"
#include "zip/base/TLFNFileStream.h"
#include "zip/format/Crc32.h"
#include "zip/format/TEndCentral.h"
#include "zip/format/TSortedZip.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZfcFile.h"
#include "zip/format/ZipRecords.h"

using namespace kd;

namespace {

const std::string kFixtures = KORDYNE_TEST_DATA_DIR "/zip/records/";

struct Parsed {
    TEndCentral end;
    std::vector<TZipHeaderInfo> entries;
};

Parsed parse(Stream& s) {
    Parsed p;
    EXPECT_TRUE(p.end.FindAndReadEndRecord(s));
    s.Seek(p.end.CentralOffsetOnDisk, SeekOrigin::Begin);
    for (int i = 0; i < p.end.TotalEntries; ++i) {
        TZipHeaderInfo e;
        EXPECT_TRUE(e.ReadCentralHeader(s)) << "entry " << i;
        p.entries.push_back(e);
    }
    TZipHeaderInfo beyond;
    EXPECT_FALSE(beyond.ReadCentralHeader(s)); // the end record follows
    return p;
}

Parsed parseFile(const std::string& path) {
    TLFNFileStream s(path);
    return parse(s);
}

std::string hex(const std::string& s) {
    std::ostringstream out;
    for (unsigned char c : s)
        out << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
    return out.str();
}

// The same lines as the oracle script below prints, from our records.
std::string describe(const Parsed& p) {
    std::ostringstream out;
    out << "END\t" << p.end.TotalEntries << '\t' << p.end.CommentLength << '\t'
        << p.end.CentralOffsetOnDisk << '\n';
    for (const auto& e : p.entries)
        out << e.VersionMadeBy << '\t' << e.VersionNeeded << '\t' << e.Flags << '\t' << e.Method
            << '\t' << e.DosDateTime << '\t' << e.Crc32 << '\t' << e.CompressedSize << '\t'
            << e.UncompressedSize << '\t' << e.CentralExtraLength << '\t' << e.CommentLength << '\t'
            << e.DiskStart << '\t' << e.InternalAttributes << '\t' << e.ExternalAttributes << '\t'
            << e.LocalOffset << '\t' << hex(e.FullName()) << '\n';
    return out.str();
}

// Python's zipfile reading the same archive; names of entries without the UTF-8 flag
// decoded with `encoding`.
std::string oracle(const test::TempDir& t, const std::string& archive,
                   const std::string& encoding) {
    const std::string script = t.write("oracle.py", R"(import sys, zipfile
zf = zipfile.ZipFile(sys.argv[1], metadata_encoding=sys.argv[2] or None)
print("END", len(zf.infolist()), len(zf.comment), zf.start_dir, sep="\t")
for i in zf.infolist():
    y, m, d, H, M, S = i.date_time
    dos = ((y - 1980) << 9 | m << 5 | d) << 16 | H << 11 | M << 5 | S // 2
    print(i.create_system << 8 | i.create_version, i.extract_version, i.flag_bits, i.compress_type, dos,
          i.CRC, i.compress_size, i.file_size, len(i.extra), len(i.comment), i.volume, i.internal_attr,
          i.external_attr, i.header_offset, i.filename.encode("utf-8").hex(), sep="\t")
)");
    std::string out;
    EXPECT_EQ(test::runCommand("python3 " + script + " '" + archive + "' '" + encoding + "'", &out),
              0)
        << out;
    return out;
}

// Every local header agrees with its central header and leaves the stream at its
// extra field.
void checkLocalHeaders(const std::string& archive, const Parsed& p) {
    TLFNFileStream s(archive);
    for (const auto& central : p.entries) {
        SCOPED_TRACE(central.FullName());
        s.Seek(central.LocalOffset, SeekOrigin::Begin);
        TZipHeaderInfo local;
        ASSERT_TRUE(local.ReadLocalHeader(s));
        EXPECT_EQ(local.LocalOffset, central.LocalOffset);
        EXPECT_EQ(s.Position(), central.LocalOffset + 30 + local.NameLength);
        EXPECT_EQ(local.NameLength, central.NameLength);
        EXPECT_EQ(local.Method, central.Method);
        EXPECT_EQ(local.DosDateTime, central.DosDateTime);
        if ((central.Flags & kFlagUtf8Name) || (central.VersionMadeBy >> 8) == 0) {
            EXPECT_EQ(local.FullName(), central.FullName());
        }
        if (!local.HasDataDescriptor()) {
            EXPECT_EQ(local.Crc32, central.Crc32);
            EXPECT_EQ(local.CompressedSize, central.CompressedSize);
            EXPECT_EQ(local.UncompressedSize, central.UncompressedSize);
        }
    }
}

void compareWithZipfile(const test::TempDir& t, const std::string& archive,
                        const std::string& encoding) {
    SCOPED_TRACE(archive);
    const Parsed p = parseFile(archive);
    EXPECT_EQ(describe(p), oracle(t, archive, encoding));
    checkLocalHeaders(archive, p);
}

std::string randomBytes(std::size_t n) {
    std::mt19937 rng(3);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

void makeTree(const test::TempDir& t) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + " of a compressible text\n";
    t.write("tree/a.txt", text);
    t.write("tree/empty.txt", "");
    t.write("tree/one.bin", "1");
    t.write("tree/sub/b.bin", randomBytes(5000));
    t.write("tree/sub/žluťoučký kůň.txt", "utf-8 name");
}

} // namespace

TEST(ZipRecords, ArchivesOfInfoZipParseFieldForField) {
    test::TempDir t;
    makeTree(t);
    const std::string archive = t.file("infozip.zip");
    ASSERT_EQ(test::runCommand("cd " + t.file("tree") + " && zip -qr " + archive +
                               " . && printf 'an archive comment' | zip -qz " + archive),
              0);
    compareWithZipfile(t, archive, "utf-8");
    const Parsed p = parseFile(archive);
    EXPECT_EQ(p.end.CommentLength, 18);
    EXPECT_EQ(p.end.CommentPosition,
              static_cast<std::int64_t>(std::filesystem::file_size(archive)) - 18);
}

TEST(ZipRecords, ArchivesOf7ZipParseFieldForField) {
    test::TempDir t;
    makeTree(t);
    const std::string archive = t.file("7z.zip");
    ASSERT_EQ(test::runCommand("cd " + t.file("tree") + " && 7z a -tzip -bd " + archive +
                               " . >/dev/null"),
              0);
    compareWithZipfile(t, archive, "utf-8");
}

TEST(ZipRecords, ArchivesOfPythonZipfileParseFieldForField) {
    test::TempDir t;
    const std::string archive = t.file("py.zip");
    const std::string script = t.write("make.py", R"(import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as zf:
    zf.writestr("stored.txt", "stored", compress_type=zipfile.ZIP_STORED)
    zf.writestr("dir/deflated.txt", "deflated " * 100, compress_type=zipfile.ZIP_DEFLATED)
    zf.writestr("dir/", "")
    info = zipfile.ZipInfo("dir/Příliš žluťoučký kůň.txt", date_time=(2099, 12, 31, 23, 59, 58))
    info.comment = b"an entry comment"
    zf.writestr(info, "x")
    zf.writestr("a:b.txt", "colon")
    zf.comment = b"archive comment"
)");
    ASSERT_EQ(test::runCommand("python3 " + script + " " + archive), 0);
    compareWithZipfile(t, archive, "");
    const Parsed p = parseFile(archive);
    ASSERT_EQ(p.entries.size(), 5u);
    EXPECT_EQ(p.entries[1].Directory(), "dir/");
    EXPECT_EQ(p.entries[1].FileName(), "deflated.txt");
    EXPECT_EQ(p.entries[2].Directory(), "dir/");
    EXPECT_EQ(p.entries[2].FileName(), "");
    EXPECT_EQ(p.entries[3].FileName(), "Příliš žluťoučký kůň.txt");
    EXPECT_EQ(p.entries[4].FileName(), "a:b.txt"); // ":" is a legal name character
}

TEST(ZipRecords, NameEncodingsOfOtherHosts) {
    test::TempDir t;
    compareWithZipfile(t, kFixtures + "cp852-dos.zip", "cp852");
    compareWithZipfile(t, kFixtures + "cp1250-unix.zip", "cp1250");
    const Parsed dos = parseFile(kFixtures + "cp852-dos.zip");
    EXPECT_EQ(dos.entries[0].FileName(), "žluťoučký kůň.txt");
    EXPECT_EQ(dos.entries[0].NameLength, 17); // stored bytes, one per character
    EXPECT_EQ(parseFile(kFixtures + "cp1250-unix.zip").entries[1].Directory(), "adresář/");
}

TEST(ZipRecords, EndRecordSearch) {
    for (std::size_t n = 1; n <= 21; ++n) {
        MemoryStream tiny(std::string(n, 'P'));
        TEndCentral end;
        EXPECT_FALSE(end.FindAndReadEndRecord(tiny)) << n;
    }
    MemoryStream empty;
    TEndCentral end;
    EXPECT_TRUE(end.FindAndReadEndRecord(empty));
    EXPECT_EQ(end.TotalEntries, 0);
    MemoryStream garbage(randomBytes(100000));
    EXPECT_FALSE(end.FindAndReadEndRecord(garbage));
}

TEST(ZipRecords, LongestCommentAndFakeEndSignatures) {
    test::TempDir t;
    // A fake record that claims 99 entries and a comment running past the end, and one
    // whose short comment fits but does not reach the end of the file.
    const std::string fakeTooLong = std::string("PK\x05\x06", 4) + std::string(6, '\0') + "\x63" +
                                    std::string(9, '\0') + "\xFF\xFF";
    const std::string fakeFits =
        std::string("PK\x05\x06", 4) + std::string(6, '\0') + "\x63" + std::string(11, '\0');
    const std::string script = t.write("make.py", R"(import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as zf:
    zf.writestr("a.txt", "a")
    zf.writestr("b.txt", "b")
    zf.comment = open(sys.argv[2], "rb").read()
)");
    for (const std::string& comment :
         {std::string(65535, 'c'),
          std::string(65535 - 40, 'c') + fakeTooLong + std::string(18, 'x'),
          "text " + fakeFits + "more text", fakeTooLong, fakeFits}) {
        const std::string archive = t.file("c.zip");
        t.write("comment.bin", comment);
        ASSERT_EQ(
            test::runCommand("python3 " + script + " " + archive + " " + t.file("comment.bin")), 0);
        TLFNFileStream s(archive);
        TEndCentral end;
        ASSERT_TRUE(end.FindAndReadEndRecord(s));
        EXPECT_EQ(end.TotalEntries, 2);
        EXPECT_EQ(end.CommentLength, comment.size());
        EXPECT_EQ(end.CommentPosition, s.Size() - static_cast<std::int64_t>(comment.size()));
        EXPECT_EQ(parse(s).entries.size(), 2u);
    }
}

TEST(ZipRecords, AnEndRecordWhoseCommentRunsPastTheFileIsPassedOver) {
    // Bytes behind an archive (so its own record does not end the file) that end with
    // a record claiming a 5-byte comment the file does not hold.
    test::TempDir t;
    const std::string archive = t.file("trailing.zip");
    ASSERT_EQ(test::runCommand("python3 -c 'import sys, zipfile\n"
                               "with zipfile.ZipFile(sys.argv[1], \"w\") as zf:\n"
                               "    zf.writestr(\"a.txt\", \"a\")\n"
                               "    zf.writestr(\"b.txt\", \"b\")' " +
                               archive),
              0);
    TLFNFileStream file(archive);
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    ASSERT_EQ(file.Read(bytes.data(), bytes.size()), bytes.size());
    bytes += "padding" + std::string("PK\x05\x06", 4) + std::string(16, '\0') + "\x05" + '\0';
    MemoryStream s(bytes);
    TEndCentral end;
    ASSERT_TRUE(end.FindAndReadEndRecord(s));
    EXPECT_EQ(end.TotalEntries, 2);
    EXPECT_EQ(end.CommentPosition, static_cast<std::int64_t>(file.Size()));
}

TEST(ZipRecords, WrittenRecordsReadBackWithZipfile) {
    test::TempDir t;
    const std::string archive = t.file("ours.zip");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"dir/sub/file.txt", "hello"},
        {"Příliš žluťoučký kůň.txt", "czech"},
        {"ceny/€ 漢.txt", "utf-8"},
        {"empty/", ""}};
    TSortedZip directory(TDuplicates::Error);
    {
        TLFNFileStream out(archive, kZipBufferSize, false, FileOpenMode::Create);
        for (const auto& [name, data] : files) {
            auto e = std::make_shared<TZipHeaderInfo>();
            e->SetFullName(name);
            e->Method = 0;
            e->DosDateTime = 44u << 25 | 6u << 21 | 15u << 16 | 13u << 11 | 45u << 5 | 10u;
            e->Crc32 = Crc32Update(0, data.data(), data.size());
            e->CompressedSize = e->UncompressedSize = static_cast<std::uint32_t>(data.size());
            if (name == "dir/sub/file.txt")
                e->SetComment("entry comment");
            e->WriteLocalHeader(out);
            out.WriteBuffer(data.data(), data.size());
            directory.Add(e);
        }
        TEndCentral end;
        end.CentralOffsetOnDisk = static_cast<std::uint32_t>(out.Position());
        for (const auto& e : directory)
            e->WriteCentralHeader(out);
        end.CentralSize = static_cast<std::uint32_t>(out.Position()) - end.CentralOffsetOnDisk;
        end.EntriesOnDisk = end.TotalEntries = static_cast<std::uint16_t>(directory.Count());
        end.SetComment("archive comment");
        end.WriteEndRecord(out);
        out.Close();
    }
    compareWithZipfile(t, archive, "cp852");
    std::string out;
    EXPECT_EQ(
        test::runCommand("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1], "
                         "metadata_encoding='cp852'); "
                         "print(z.testzip(), z.comment, z.getinfo('dir/sub/file.txt').comment)\" " +
                             archive,
                         &out),
        0);
    EXPECT_EQ(out, "None b'archive comment' b'entry comment'\n");
    EXPECT_EQ(test::runCommand("unzip -tq " + archive, &out), 0) << out;

    const Parsed p = parseFile(archive);
    EXPECT_EQ(p.entries[1].Flags & kFlagUtf8Name, 0);             // CP852 holds every character
    EXPECT_EQ(p.entries[1].NameLength, 24);                       // one byte per character
    EXPECT_EQ(p.entries[2].Flags & kFlagUtf8Name, kFlagUtf8Name); // "€" and "漢" need UTF-8
    EXPECT_EQ(p.entries[2].FileName(), "€ 漢.txt");
}

TEST(ZipRecords, DefaultsAndNameRules) {
    TZipHeaderInfo e;
    MemoryStream s;
    s.Write("xx", 2);
    e.WriteLocalHeader(s);
    e.WriteCentralHeader(s);
    const auto* b = reinterpret_cast<const std::uint8_t*>(s.Bytes().data()) + 2;
    EXPECT_EQ(e.LocalOffset, 2u);
    EXPECT_EQ(GetLE32(b), kLocalSignature);
    EXPECT_EQ(GetLE16(b + 4), 20);          // version needed
    EXPECT_EQ(GetLE16(b + 8), 8);           // method
    EXPECT_EQ(GetLE32(b + 14), 0xFFFFFFFF); // CRC
    b += 30;
    EXPECT_EQ(GetLE32(b), kCentralSignature);
    EXPECT_EQ(GetLE16(b + 4), 20);
    EXPECT_EQ(GetLE16(b + 36), 1);     // internal attributes
    EXPECT_EQ(GetLE32(b + 38), 0x20u); // external attributes
    EXPECT_EQ(GetLE32(b + 42), 2u);

    // Dates out of range are clamped when read.
    MemoryStream bad;
    e.DosDateTime = 0xFFFFFFFF;
    e.WriteCentralHeader(bad);
    bad.Seek(0, SeekOrigin::Begin);
    TZipHeaderInfo clamped;
    ASSERT_TRUE(clamped.ReadCentralHeader(bad));
    EXPECT_EQ(clamped.DosDateTime, DosDateTimeClamp(0xFFFFFFFF));

    e.SetDirectory("a/b");
    EXPECT_EQ(e.Directory(), "a/b/");
    e.SetFileName("ž.txt");
    EXPECT_EQ(e.NameLength, 9);
    EXPECT_EQ(e.LocalHeaderSize(), 39u);
    e.VersionMadeBy = 3 << 8 | 20; // a Unix host reads UTF-8 better than CP852
    e.SetFileName("ř.txt");
    EXPECT_EQ(e.NameLength, 10);
    EXPECT_TRUE(e.Flags & kFlagUtf8Name);
    EXPECT_THROW(e.SetComment(std::string(65536, 'c')), Exception);
    e.CommentLength = 3; // announced, never loaded
    EXPECT_THROW(e.WriteCentralHeader(s), Exception);

    EXPECT_EQ(MethodName(0), "STOR");
    EXPECT_EQ(MethodName(6), "IMP");
    EXPECT_EQ(MethodName(8), "DEF");
    EXPECT_EQ(MethodName(12), "12");
}

TEST(ZipRecords, HeadersFailCleanly) {
    TZipHeaderInfo e;
    e.SetFullName("name.txt");
    MemoryStream whole;
    e.WriteCentralHeader(whole);
    const std::string bytes = whole.Bytes();

    MemoryStream truncated(bytes.substr(0, bytes.size() - 2)); // the name is cut short
    TZipHeaderInfo r;
    EXPECT_FALSE(r.ReadCentralHeader(truncated));
    EXPECT_EQ(truncated.Position(), 0);
    MemoryStream local(bytes);
    EXPECT_FALSE(r.ReadLocalHeader(local));
    EXPECT_EQ(local.Position(), 0);

    // A header split over two disks continues on the next one.
    MemoryStream first(bytes.substr(0, 20)), second(bytes.substr(20));
    int asked = 0;
    ASSERT_TRUE(r.ReadCentralHeader(first, [&]() -> Stream& {
        ++asked;
        return second;
    }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(r.FullName(), "name.txt");
}

TEST(ZipRecords, SortModes) {
    auto entry = [](const char* name, std::uint32_t date, std::uint32_t packed, std::uint32_t size,
                    std::uint32_t offset) {
        auto e = std::make_shared<TZipHeaderInfo>();
        e->SetFullName(name);
        e->DosDateTime = date;
        e->CompressedSize = packed;
        e->UncompressedSize = size;
        e->LocalOffset = offset;
        return e;
    };
    const std::uint32_t d1 = 40u << 25 | 1u << 21 | 1u << 16, d2 = 41u << 25 | 1u << 21 | 1u << 16;
    const std::vector<std::shared_ptr<TZipHeaderInfo>> entries = {
        entry("b/Zeta.txt", d1, 10, 100, 0x90000000u), entry("a/alpha.txt", d2, 50, 100, 0),
        entry("B/zeta.TXT", d1, 10, 100, 300), entry("c/mid.txt", 0xFFFF0000u, 90, 0, 200)};
    auto order = [&](TZipSortMode mode) {
        TSortedZip view(TDuplicates::Accept, mode);
        for (const auto& e : entries)
            view.Add(e);
        std::string names;
        for (const auto& e : view)
            names += e->FullName() + " ";
        return names;
    };
    EXPECT_EQ(order(TZipSortMode::ByName), "a/alpha.txt B/zeta.TXT b/Zeta.txt c/mid.txt ");
    EXPECT_EQ(order(TZipSortMode::ByFileName), "a/alpha.txt c/mid.txt B/zeta.TXT b/Zeta.txt ");
    EXPECT_EQ(order(TZipSortMode::ByDirectoryName), "a/alpha.txt B/zeta.TXT b/Zeta.txt c/mid.txt ");
    EXPECT_EQ(order(TZipSortMode::ByDate), "a/alpha.txt b/Zeta.txt B/zeta.TXT c/mid.txt ");
    EXPECT_EQ(order(TZipSortMode::ByCompressedSize),
              "c/mid.txt a/alpha.txt b/Zeta.txt B/zeta.TXT ");
    EXPECT_EQ(order(TZipSortMode::ByUnCompressedSize),
              "b/Zeta.txt a/alpha.txt B/zeta.TXT c/mid.txt ");
    EXPECT_EQ(order(TZipSortMode::ByRate), "a/alpha.txt B/zeta.TXT b/Zeta.txt c/mid.txt ");
    EXPECT_EQ(order(TZipSortMode::ByNone),
              "a/alpha.txt c/mid.txt B/zeta.TXT b/Zeta.txt "); // unsigned offsets

    TSortedZip directory(TDuplicates::Error);
    directory.Add(entries[0]);
    auto twin = std::make_shared<TZipHeaderInfo>(*entries[0]);
    EXPECT_THROW(directory.Add(twin), EListError);
}

TEST(ZipRecords, SideFile) {
    EXPECT_EQ(ZfcFileName("/backup/set.zip"), "/backup/set.zfc");
    EXPECT_EQ(ZfcFileName("/a.b/set"), "/a.b/set.zfc");

    TObjectList<TZipHeaderInfo> directory;
    for (const char* name : {"one.txt", "dir/two.txt"}) {
        auto e = std::make_shared<TZipHeaderInfo>();
        e->SetFullName(name);
        e->DiskStart = 1;
        directory.Add(e);
    }
    TEndCentral end;
    end.ThisDisk = 2;
    end.CentralDisk = 2;
    end.TotalEntries = 2;
    end.SetComment("set comment");
    MemoryStream zfc;
    WriteZfcFile(zfc, directory, end);
    zfc.Seek(0, SeekOrigin::Begin);
    TEndCentral read;
    ASSERT_TRUE(read.FindAndReadEndRecord(zfc));
    EXPECT_EQ(read.ThisDisk, 2);
    EXPECT_EQ(read.CommentLength, 11);
    zfc.Seek(0, SeekOrigin::Begin);
    TZipHeaderInfo e;
    ASSERT_TRUE(e.ReadCentralHeader(zfc));
    EXPECT_EQ(e.FullName(), "one.txt");
    ASSERT_TRUE(e.ReadCentralHeader(zfc));
    EXPECT_EQ(e.FullName(), "dir/two.txt");
    EXPECT_EQ(e.DiskStart, 1);
}
