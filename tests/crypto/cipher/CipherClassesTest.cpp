// The cipher classes: self-tests, key lengths and the key rules of each family.
#include "crypto/cipher/CipherRegistry.h"
#include "crypto/cipher/classes/Safer.h"
#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/cipher/classes/Tea.h"
#include "crypto/cipher/support/Vectors.h"

#include <gtest/gtest.h>

namespace kd::test {
namespace {

Bytes encryptBlock(TCipher& c, const Bytes& key, Bytes block) {
    c.Mode = TCipherMode::cmECB;
    c.Init(key.data(), static_cast<int>(key.size()));
    c.EncryptData(block.data(), block.data(), block.size());
    return block;
}

Bytes counting(std::size_t n, int start = 0) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(start + static_cast<int>(i) * 7);
    return b;
}

TEST(CipherClasses, RegisteredInOrderAndPassSelfTests) {
    RegisterCiphers();
    const auto& list = CipherRegistry();
    ASSERT_EQ(list.size(), 17u);
    EXPECT_EQ(list[0].text, "=3Way");
    EXPECT_EQ(list[3].text, "free for non-commercial=IDEA");
    EXPECT_EQ(list[6].text, "Keyscheduling=SAFER-SK40");
    EXPECT_EQ(list[13].text, "=Square");
    EXPECT_EQ(list[15].text, "=TEA extended");
    for (const auto& e : list)
        EXPECT_TRUE(SelfTest(*e.cls)) << e.cls->ClassName();
    EXPECT_TRUE(SelfTest(CipherClassOf<TCipher_SAFER>()));
}

TEST(CipherClasses, EveryKeyLengthRoundTripsAndCounts) {
    RegisterCiphers();
    for (const auto& e : CipherRegistry()) {
        const auto c = e.cls->Create();
        const Bytes plain = counting(c->BlockSize(), 3);
        Bytes previous;
        for (std::size_t len = 1; len <= c->KeySize(); ++len) {
            const Bytes key = counting(len, 1);
            Bytes block = encryptBlock(*c, key, plain);
            EXPECT_NE(block, plain) << e.cls->ClassName() << " key " << len;
            EXPECT_NE(block, previous) << e.cls->ClassName() << " key " << len;
            previous = block;
            c->ResetFeedback();
            c->DecryptData(block.data(), block.data(), block.size());
            EXPECT_EQ(block, plain) << e.cls->ClassName() << " key " << len;
        }
    }
}

TEST(CipherClasses, KeyRulesOfTheFamilies) {
    const Bytes plain = counting(8);
    // SAFER by key length equals the strengthened forms.
    TCipher_SAFER automatic;
    TCipher_SAFER_SK40 sk40;
    TCipher_SAFER_SK64 sk64;
    TCipher_SAFER_K64 k64;
    EXPECT_EQ(encryptBlock(automatic, counting(5), plain), encryptBlock(sk40, counting(5), plain));
    EXPECT_EQ(encryptBlock(automatic, counting(8), plain), encryptBlock(sk64, counting(8), plain));
    EXPECT_NE(encryptBlock(k64, counting(8), plain), encryptBlock(sk64, counting(8), plain));

    // A 17-byte Twofish key is its 24-byte zero-padded form.
    TCipher_Twofish twofish;
    Bytes key17 = counting(17, 5), key24 = key17;
    key24.resize(24, 0);
    EXPECT_EQ(encryptBlock(twofish, key17, counting(16)),
              encryptBlock(twofish, key24, counting(16)));

    // TEA cycle counts are forced into 16..32.
    TCipher_TEA tea;
    const Bytes key = counting(16);
    tea.Rounds = 16;
    const Bytes sixteen = encryptBlock(tea, key, plain);
    tea.Rounds = 32;
    const Bytes thirtyTwo = encryptBlock(tea, key, plain);
    EXPECT_NE(sixteen, thirtyTwo);
    tea.Rounds = 8;
    EXPECT_EQ(encryptBlock(tea, key, plain), sixteen);
    tea.Rounds = 40;
    EXPECT_EQ(encryptBlock(tea, key, plain), thirtyTwo);
}

TEST(CipherClasses, KeyErrors) {
    TCipher_Blowfish blowfish;
    const Bytes key = counting(57);
    try {
        blowfish.Init(key.data(), 0);
        FAIL() << "an empty Blowfish key was accepted";
    } catch (const ECipherException& e) {
        EXPECT_EQ(e.Code, 2);
        EXPECT_NE(std::string(e.what()).find("TCipher_Blowfish must be to 1-56 bytes"),
                  std::string::npos);
    }
    EXPECT_FALSE(blowfish.GetFlag(TCipher::kInitialized));

    // Too long: cut silently, or refused while StrictKeySize is set.
    blowfish.Init(key.data(), 57);
    const Bytes cut = encryptBlock(blowfish, Bytes(key.begin(), key.begin() + 56), counting(8));
    EXPECT_EQ(encryptBlock(blowfish, key, counting(8)), cut);
    StrictKeySize() = true;
    try {
        blowfish.Init(key.data(), 57);
        ADD_FAILURE() << "a long key was accepted in strict mode";
    } catch (const ECipherException& e) {
        EXPECT_EQ(e.Code, 2);
        EXPECT_EQ(std::string(e.what()), "Length from Encryptionkey is invalid.\r\nKeysize for "
                                         "TCipher_Blowfish must be to 0-56 bytes");
    }
    StrictKeySize() = false;
    EXPECT_FALSE(blowfish.GetFlag(TCipher::kInitialized));
    Bytes data(8);
    try {
        blowfish.EncryptData(data.data(), data.data(), data.size());
        ADD_FAILURE() << "a wiped cipher encrypted";
    } catch (const ECipherException& e) {
        EXPECT_EQ(e.Code, 3);
        EXPECT_STREQ(e.what(),
                     "TCipher_Blowfish is not initialized call Init() or InitKey() before.");
    }
}

} // namespace
} // namespace kd::test
