#include "crypto/hash/Square.h"

#include <cstring>

#include "crypto/base/Bits.h"

namespace kd {

THash_Square::~THash_Square() {
    SecureZero(digest_, sizeof digest_);
    SecureZero(&cipher_, sizeof cipher_);
}

void THash_Square::Init() {
    blocks_.Reset();
    static constexpr std::uint32_t kInitial[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    for (int i = 0; i < 4; ++i)
        StoreLE32(digest_ + 4 * i, kInitial[i]);
    THash::Init();
}

void THash_Square::Compress(const std::uint8_t* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += kBlockSize) {
        cipher_.setKey(digest_, sizeof digest_);
        std::memcpy(digest_, blocks, kBlockSize);
        cipher_.encrypt(digest_);
        // Feed the whole block forward, so the result depends on the block alone and
        // not on how the input was cut into Update calls.
        XorBuffers(digest_, blocks, kBlockSize, digest_);
    }
}

void THash_Square::Update(const void* data, std::size_t size) {
    blocks_.Feed(data, size, [this](const std::uint8_t* p, std::size_t n) { Compress(p, n); });
}

void THash_Square::Final() {
    auto compress = [this](const std::uint8_t* p, std::size_t n) { Compress(p, n); };
    const std::uint64_t bits = blocks_.Count() * 8;
    std::uint8_t* last = blocks_.Close(0x80, 8, compress);
    StoreLE64(last + 8, bits);
    compress(last, 1);
    blocks_.ClearBuffer();
    THash::Final();
}

} // namespace kd
