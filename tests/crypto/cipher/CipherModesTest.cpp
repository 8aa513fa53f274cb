// The eight modes: round trips at every length, the final-piece rule, the MAC modes and
// the protection runs.
#include "crypto/cipher/classes/Scop.h"
#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/cipher/support/Vectors.h"
#include "crypto/hash/MD4Family.h"
#include "platform/MemoryStream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

namespace kd::test {
namespace {

const TCipherMode kStreamModes[] = {TCipherMode::cmXorChain, TCipherMode::cmCBC,
                                    TCipherMode::cmCFB8, TCipherMode::cmOFB8};

Bytes pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return b;
}

TEST(CipherModes, RoundTripAtEveryLength) {
    TCipher_Blowfish blowfish;
    TCipher_Twofish twofish;
    const Bytes key = pattern(16);
    for (TCipher* c : {static_cast<TCipher*>(&blowfish), static_cast<TCipher*>(&twofish)}) {
        c->Init(key.data(), 16);
        for (TCipherMode mode : kStreamModes)
            for (std::size_t len = 0; len <= 100; ++len) {
                c->Mode = mode;
                const Bytes plain = pattern(len);
                Bytes data = plain;
                c->ResetFeedback();
                c->EncryptData(data.data(), data.data(), len);
                if (len > 0) {
                    EXPECT_NE(data, plain);
                }
                c->ResetFeedback();
                c->DecryptData(data.data(), data.data(), len);
                ASSERT_EQ(data, plain) << "mode " << int(mode) << " length " << len;
            }
    }
}

TEST(CipherModes, FinalPieceIsStreamXorWithEncryptedFeedback) {
    TCipher_Blowfish c;
    const Bytes key = pattern(16), plain = pattern(20);
    c.Init(key.data(), 16);
    c.Mode = TCipherMode::cmCBC;
    Bytes whole = plain, tail(plain.begin() + 16, plain.end());
    c.EncryptData(whole.data(), whole.data(), 20);
    // The last 4 bytes are the piece XOR E(second ciphertext block).
    Bytes k(whole.begin() + 8, whole.begin() + 16);
    c.EncryptBlock(k.data());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(whole[16 + i], tail[i] ^ k[i]);
    // The feedback after the piece is E(F) xor F, independent of the piece.
    Bytes f(whole.begin() + 8, whole.begin() + 16);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(c.Feedback()[i], f[i] ^ k[i]);
}

TEST(CipherModes, MacModesMatchTheirEncryptingTwins) {
    TCipher_Twofish c;
    const Bytes key = pattern(32), plain = pattern(45);
    c.Init(key.data(), 32);
    const std::pair<TCipherMode, TCipherMode> twins[] = {
        {TCipherMode::cmXorChain, TCipherMode::cmXorChainMAC},
        {TCipherMode::cmCBC, TCipherMode::cmCBCMAC},
        {TCipherMode::cmCFB8, TCipherMode::cmCFB8MAC}};
    for (auto [coding, mac] : twins) {
        c.Mode = coding;
        c.ResetFeedback();
        Bytes coded = plain;
        c.EncryptData(coded.data(), coded.data(), coded.size());
        const Bytes expected(c.Feedback().begin(), c.Feedback().end());
        c.Mode = mac;
        for (bool decrypt : {false, true}) {
            c.ResetFeedback();
            Bytes data = plain;
            decrypt ? c.DecryptData(data.data(), data.data(), data.size())
                    : c.EncryptData(data.data(), data.data(), data.size());
            EXPECT_EQ(data, plain) << "a MAC mode wrote its data";
            EXPECT_EQ(Bytes(c.Feedback().begin(), c.Feedback().end()), expected)
                << "mode " << int(mac);
        }
    }
}

void expectCode4(const std::function<void()>& run, const char* what) {
    try {
        run();
        ADD_FAILURE() << what << ": ECB coded a partial block";
    } catch (const ECipherException& e) {
        EXPECT_EQ(e.Code, 4) << what;
    }
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A length that is no whole number of blocks is refused before any byte changes: in a
// buffer, and in streams and files coded chunk by chunk, where the whole chunks ahead
// of the last one used to be written first.
TEST(CipherModes, EcbRefusesAPartialBlockBeforeChangingAnything) {
    const auto c = std::make_shared<TCipher_IDEA>();
    const Bytes key = pattern(16);
    c->Init(key.data(), 16);
    c->Mode = TCipherMode::cmECB;
    Bytes data = pattern(12);
    const Bytes before = data;
    expectCode4([&] { c->EncryptData(data.data(), data.data(), data.size()); }, "buffer");
    EXPECT_EQ(data, before);

    Bytes large = pattern(100001);
    const std::string plain(large.begin(), large.end());
    MemoryStream stream(plain);
    expectCode4([&] { c->ProcessStream(&stream, nullptr, -1, TProtectionAction::Encode); },
                "stream");
    // A source shorter than the whole blocks asked for ends the run early.
    stream.Seek(0, SeekOrigin::Begin);
    expectCode4([&] { c->ProcessStream(&stream, nullptr, 200000, TProtectionAction::Encode); },
                "short stream");
    EXPECT_TRUE(stream.Bytes() == plain);

    TempDir dir;
    const std::string path = dir.write("data", plain);
    const std::string target = dir.write("target", "kept");
    expectCode4([&] { c->ProcessFile(path, "", TProtectionAction::Encode); }, "file in place");
    expectCode4([&] { c->ProcessFile(path, target, TProtectionAction::Decode); }, "file to file");
    EXPECT_TRUE(fileBytes(path) == plain);
    EXPECT_EQ(fileBytes(target), "kept");

    // A hash in front decodes its part first: the cipher behind it is asked up front.
    THash_MD4 hash(c);
    expectCode4([&] { hash.ProcessMemory(large.data(), large.size(), TProtectionAction::Decode); },
                "chain");
    EXPECT_TRUE(std::string(large.begin(), large.end()) == plain);
}

TEST(CipherModes, ProtectionRunsStartFromTheVector) {
    const Bytes key = pattern(48);
    TCipher_SCOP scop; // its generator state moves with every block
    TCipher_Gost gost;
    for (TCipher* c : {static_cast<TCipher*>(&scop), static_cast<TCipher*>(&gost)}) {
        c->Init(key.data(), 32);
        const Bytes iv(c->InitVector().begin(), c->InitVector().end());
        c->Init(key.data(), 32);
        EXPECT_EQ(Bytes(c->InitVector().begin(), c->InitVector().end()), iv);
        const Bytes plain = pattern(300);
        Bytes first = plain, second = plain;
        c->ProcessMemory(first.data(), first.size(), TProtectionAction::Encode);
        c->ProcessMemory(second.data(), second.size(), TProtectionAction::Encode);
        EXPECT_EQ(first, second) << c->Class().ClassName();
        c->ProcessMemory(first.data(), first.size(), TProtectionAction::Decode);
        EXPECT_EQ(first, plain) << c->Class().ClassName();
    }
}

TEST(CipherModes, WipeKeyClearsTheKeyMaterial) {
    struct Probe : TCipher_Twofish {
        using TCipher_Twofish::Schedule;
    } c;
    const Bytes key = pattern(32);
    c.Init(key.data(), 32);
    c.WipeKey();
    const auto schedule = c.Schedule();
    EXPECT_EQ(Bytes(schedule.begin(), schedule.end()), Bytes(c.ScheduleSize(), 0x00));
    EXPECT_EQ(Bytes(c.InitVector().begin(), c.InitVector().end()), Bytes(16, 0xFF));
    EXPECT_EQ(Bytes(c.Scratch().begin(), c.Scratch().end()), Bytes(16, 0x00));
    Bytes data(16);
    EXPECT_THROW(c.EncryptData(data.data(), data.data(), 16), ECipherException);
}

TEST(CipherModes, InitKeyUsesTheKeyHashDigest) {
    TCipher_IDEA viaText, viaKey;
    EXPECT_THROW(viaText.InitKey("secret"), ECipherException);
    viaText.KeyHashClass = &HashClassOf<THash_MD4>();
    viaText.InitKey("secret");
    THash_MD4 md4;
    md4.Init();
    md4.Update("secret", 6);
    md4.Final();
    viaKey.Init(md4.Digest(), 16);
    EXPECT_EQ(Bytes(viaText.InitVector().begin(), viaText.InitVector().end()),
              Bytes(viaKey.InitVector().begin(), viaKey.InitVector().end()));
}

} // namespace
} // namespace kd::test
