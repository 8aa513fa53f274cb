// Square and SHARK have no outside implementation to compare with beyond a few published
// Square blocks: these digests of their outputs keep every key length, both directions
// and the chaining of whole and partial blocks from changing.
#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/cipher/support/Vectors.h"
#include "crypto/hash/SHA.h"

#include <gtest/gtest.h>

namespace kd::test {
namespace {

// SHA-1 over the CBC encryption of 100 bytes under every key length, each checked to
// decrypt back.
std::string outputDigest(TCipher& c) {
    Bytes plain(100), key(c.KeySize()), all;
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (std::size_t length = 1; length <= key.size(); ++length) {
        for (std::size_t i = 0; i < length; ++i)
            key[i] = static_cast<std::uint8_t>(length * 16 + i * 5);
        c.Mode = TCipherMode::cmCBC;
        c.Init(key.data(), static_cast<int>(length));
        Bytes data = plain;
        c.EncodeBuffer(data.data(), data.size());
        all.insert(all.end(), data.begin(), data.end());
        c.ResetFeedback();
        c.DecodeBuffer(data.data(), data.size());
        EXPECT_EQ(data, plain) << c.Class().ClassName() << " key " << length;
    }
    THash_SHA1 sha;
    sha.Init();
    sha.Update(all.data(), all.size());
    sha.Final();
    return toHex(Bytes(sha.Digest(), sha.Digest() + sha.DigestSize()));
}

TEST(CipherCores, SquareAndSharkKeepTheirOutputs) {
    TCipher_Square square;
    TCipher_Shark shark;
    EXPECT_EQ(outputDigest(square), "BC4830063D0D287C0022A34A60EB423D33F83BE5");
    EXPECT_EQ(outputDigest(shark), "A25A58EFFA71996361B4D07D5BA05463231E0CCD");
}

} // namespace
} // namespace kd::test
