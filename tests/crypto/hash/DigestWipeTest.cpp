// Every hash and checksum clears its digest when it goes, so that no result stays
// behind in freed memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "crypto/hash/Checksums.h"
#include "crypto/hash/Haval.h"
#include "crypto/hash/MD5.h"
#include "crypto/hash/RipeMD.h"
#include "crypto/hash/SHA.h"
#include "crypto/hash/Sapphire.h"
#include "crypto/hash/Snefru.h"
#include "crypto/hash/Square.h"
#include "crypto/hash/Tiger.h"

namespace kd {
namespace {

// Destroys a hash that holds a digest in storage of the test's own, then reads the bytes
// where the digest was.
template <class T> void expectDigestCleared() {
    alignas(T) unsigned char storage[sizeof(T)];
    T* hash = new (storage) T();
    hash->Init();
    hash->Update("abc", 3);
    hash->Final();
    const std::size_t offset = static_cast<std::size_t>(hash->Digest() - storage);
    const std::size_t size = hash->DigestSize();
    ASSERT_TRUE(std::any_of(storage + offset, storage + offset + size,
                            [](unsigned char b) { return b != 0; }));
    hash->~T();
    EXPECT_TRUE(std::all_of(storage + offset, storage + offset + size, [](unsigned char b) {
        return b == 0;
    })) << T::kClassName;
}

template <class... T> void expectDigestsCleared() {
    (expectDigestCleared<T>(), ...);
}

TEST(DigestWipeTest, EveryClassClearsItsDigestWhenDestroyed) {
    expectDigestsCleared<THash_MD4, THash_MD5, THash_SHA, THash_SHA1, THash_RipeMD128,
                         THash_RipeMD160, THash_RipeMD256, THash_RipeMD320, THash_Haval128,
                         THash_Haval160, THash_Haval192, THash_Haval224, THash_Haval256,
                         THash_Sapphire128, THash_Sapphire160, THash_Sapphire192, THash_Sapphire224,
                         THash_Sapphire256, THash_Sapphire288, THash_Sapphire320, THash_Snefru,
                         THash_Square, THash_Tiger, THash_XOR16, THash_XOR32, THash_CRC16_CCITT,
                         Thash_CRC16_Standard, THash_CRC32>();
}

} // namespace
} // namespace kd
