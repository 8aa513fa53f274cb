#include "zip/support/DecompressTestSupport.h"

#include "support/TempDir.h"
#include "zip/decompress/DecompressError.h"
#include "zip/format/ZipCrypt.h"

#include <gtest/gtest.h>

using namespace kd;
using namespace kd::test;

namespace {

void Put(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A one-entry archive, stored and encrypted by ZipCrypt.
Bytes EncryptedStoredZip(const std::string& name, const Bytes& data, const std::string& password) {
    const std::uint32_t crc = Crc32Of(data);
    ZipCrypt crypt;
    const ZipCrypt::Header header =
        crypt.CreateEncryptionHeader(password, ZipCrypt::CheckWord(1, crc, 0));
    Bytes body(header.begin(), header.end());
    Bytes plain = data;
    crypt.EncryptBuffer(plain.data(), plain.size());
    body.insert(body.end(), plain.begin(), plain.end());

    const auto common = [&](Bytes& out) {
        Put(out, 1, 2);                            // flags: encrypted
        Put(out, 0, 2);                            // stored
        Put(out, (12u << 11) | (30u << 5), 2);     // 12:30
        Put(out, (44u << 9) | (5u << 5) | 17u, 2); // 2024-05-17
        Put(out, crc, 4);
        Put(out, static_cast<std::uint32_t>(body.size()), 4);
        Put(out, static_cast<std::uint32_t>(data.size()), 4);
        Put(out, static_cast<std::uint32_t>(name.size()), 2);
        Put(out, 0, 2);
    };
    Bytes zip;
    Put(zip, 0x04034b50, 4);
    Put(zip, 20, 2);
    common(zip);
    zip.insert(zip.end(), name.begin(), name.end());
    zip.insert(zip.end(), body.begin(), body.end());
    const auto centralStart = static_cast<std::uint32_t>(zip.size());
    Put(zip, 0x02014b50, 4);
    Put(zip, 20, 2);
    Put(zip, 20, 2);
    common(zip);
    Put(zip, 0, 2); // comment length
    Put(zip, 0, 2); // disk
    Put(zip, 0, 2); // internal attributes
    Put(zip, 0, 4); // external attributes
    Put(zip, 0, 4); // local header offset
    zip.insert(zip.end(), name.begin(), name.end());
    const auto centralSize = static_cast<std::uint32_t>(zip.size()) - centralStart;
    Put(zip, 0x06054b50, 4);
    Put(zip, 0, 4);
    Put(zip, 1, 2);
    Put(zip, 1, 2);
    Put(zip, centralSize, 4);
    Put(zip, centralStart, 4);
    Put(zip, 0, 2);
    return zip;
}

// Decrypts and decodes an entry; nullopt when the check byte does not match.
std::optional<Bytes> DecryptEntry(const ZipTestEntry& e, const std::string& password) {
    ZipCrypt crypt;
    ZipCrypt::Header header;
    std::copy_n(e.data.begin(), header.size(), header.begin());
    if (crypt.DecryptHeader(password, header) !=
        ZipCrypt::ExpectedCheckByte(e.flags, e.crc, e.dosTime & 0xFFFF))
        return std::nullopt;
    Bytes rest(e.data.begin() + ZipCrypt::kHeaderSize, e.data.end());
    crypt.DecryptBuffer(rest.data(), rest.size());
    return Decode(e.method, rest, e.uncompressedSize, e.flags);
}

std::string Text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

} // namespace

TEST(ZipCrypt, EncryptThenDecryptGivesTheDataBack) {
    const Bytes data = RandomData(5000, 3);
    for (const std::string& password :
         {std::string(), std::string("secret"), std::string("\x9e\x9a\0x", 4)}) {
        ZipCrypt writer;
        const auto header = writer.CreateEncryptionHeader(password, 0x5AA5);
        Bytes cipher = data;
        writer.EncryptBuffer(cipher.data(), cipher.size());
        EXPECT_NE(cipher, data);

        ZipCrypt reader;
        ZipCrypt::Header plain = header;
        reader.InitCipherKeys(password);
        reader.DecryptBuffer(plain.data(), plain.size());
        EXPECT_EQ(plain[10], 0xA5) << "the check word, low byte first";
        EXPECT_EQ(reader.DecryptHeader(password, header), 0x5A);
        reader.DecryptBuffer(cipher.data(), cipher.size());
        EXPECT_EQ(cipher, data);
    }
    ZipCrypt a, b;
    EXPECT_NE(a.CreateEncryptionHeader("x", 1), b.CreateEncryptionHeader("x", 1)); // random bytes
}

TEST(ZipCrypt, TheCheckWordIsTheCrcsHighHalfOrWithADataDescriptorTheTime) {
    EXPECT_EQ(ZipCrypt::CheckWord(1, 0x12345678, 0xABCD), 0x1234);
    EXPECT_EQ(ZipCrypt::CheckWord(1 | 8, 0x12345678, 0xABCD), 0xABCD);
    EXPECT_EQ(ZipCrypt::ExpectedCheckByte(1, 0x12345678, 0xABCD), 0x12);
    EXPECT_EQ(ZipCrypt::ExpectedCheckByte(1 | 8, 0x12345678, 0xABCD), 0xAB);
}

TEST(ZipCrypt, EmptyPasswordUsesTheInitialKeys) {
    // Key 2 starts at 878082192 (0x34567890): t = 0x7892, byte = (t * (t ^ 1)) >> 8.
    ZipCrypt crypt;
    crypt.InitCipherKeys("");
    const std::uint32_t t = 0x7890 | 2;
    EXPECT_EQ(crypt.DecryptByte(), static_cast<std::uint8_t>((t * (t ^ 1)) >> 8));
}

TEST(ZipCrypt, DecryptsAnArchiveMadeByZip) {
    TempDir dir;
    const Bytes data = TextLikeData(30000, 4);
    dir.write("data.txt", Text(data));
    ASSERT_EQ(runCommand("cd '" + dir.path() + "' && zip -q -P secret a.zip data.txt"), 0);
    const auto entries = ReadZipEntries(dir.file("a.zip"));
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_TRUE(entries[0].flags & 1);
    const auto plain = DecryptEntry(entries[0], "secret");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(*plain, data);
    EXPECT_EQ(Crc32Of(*plain), entries[0].crc);

    // A wrong password fails the check byte, or (one time in 256) the data.
    try {
        const auto wrong = DecryptEntry(entries[0], "Secret");
        EXPECT_TRUE(!wrong || *wrong != data);
    } catch (const EBadCompressedData&) {
    }
}

TEST(ZipCrypt, ArchiveEncryptedByUsOpensWithUnzipAnd7z) {
    TempDir dir;
    const Bytes data = TextLikeData(3000, 8);
    const auto ansi = CipherPasswordCandidates("žluťoučký kůň").front();
    for (const std::string& password : {std::string("tajne"), ansi}) {
        const Bytes zip = EncryptedStoredZip("file.txt", data, password);
        const std::string path = dir.write("enc.zip", std::string(zip.begin(), zip.end()));
        std::string out;
        EXPECT_EQ(runCommand("unzip -p -P '" + password + "' '" + path + "' file.txt", &out), 0);
        EXPECT_EQ(out, Text(data));
        EXPECT_EQ(runCommand("7z t -p'" + password + "' '" + path + "' >/dev/null"), 0);
        EXPECT_NE(runCommand("unzip -t -P wrong '" + path + "' >/dev/null"), 0);
    }
}

TEST(ZipCrypt, PasswordCandidatesTryWindows1250First) {
    EXPECT_EQ(CipherPasswordCandidates("heslo"), std::vector<std::string>{"heslo"});
    EXPECT_EQ(CipherPasswordCandidates("žluťoučký"), (std::vector<std::string>{"\x9e"
                                                                               "lu"
                                                                               "\x9d"
                                                                               "ou"
                                                                               "\xe8"
                                                                               "k"
                                                                               "\xfd",
                                                                               "žluťoučký"}));
    EXPECT_EQ(CipherPasswordCandidates("日本"),
              std::vector<std::string>{"日本"}); // no CP1250 bytes
    EXPECT_EQ(CipherPasswordCandidates(""), std::vector<std::string>{""});
}
