#include "crypto/hash/MD4Family.h"

#include <cstring>

#include "crypto/base/Bits.h"

namespace kd {

THash_MD4::~THash_MD4() {
    SecureZero(state_, sizeof state_);
    SecureZero(buffer_, sizeof buffer_);
}

void THash_MD4::SetInitialState() {
    static constexpr std::uint32_t kInitial[10] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476,
                                                   0xC3D2E1F0, 0x76543210, 0xFEDCBA98, 0x89ABCDEF,
                                                   0x01234567, 0x3C2D1E0F};
    std::memcpy(state_, kInitial, sizeof state_);
}

void THash_MD4::Init() {
    std::memset(buffer_, 0, sizeof buffer_);
    count_ = 0;
    SetInitialState();
    THash::Init();
}

void THash_MD4::Update(const void* data, std::size_t size) {
    if (!data || size == 0)
        return;
    auto* p = static_cast<const std::uint8_t*>(data);
    const std::size_t pending = std::size_t(count_ % kBlockSize);
    count_ += size;
    if (pending) {
        const std::size_t take = std::min(size, kBlockSize - pending);
        std::memcpy(buffer_ + pending, p, take);
        p += take;
        size -= take;
        if (pending + take < kBlockSize)
            return;
        Transform(buffer_);
    }
    for (; size >= kBlockSize; size -= kBlockSize, p += kBlockSize)
        Transform(p);
    if (size)
        std::memcpy(buffer_, p, size);
}

void THash_MD4::Final() {
    const std::size_t pending = std::size_t(count_ % kBlockSize);
    buffer_[pending] = PadByte();
    std::memset(buffer_ + pending + 1, 0, kBlockSize - pending - 1);
    if (pending > 55) {
        Transform(buffer_);
        std::memset(buffer_, 0, kBlockSize);
    }
    const std::uint64_t bits = count_ * 8;
    if (BigEndianLength())
        StoreBE64(buffer_ + 56, bits);
    else
        StoreLE64(buffer_ + 56, bits);
    Transform(buffer_);
    FinishDigest();
    std::memset(buffer_, 0, kBlockSize);
    THash::Final();
}

namespace {

constexpr std::uint32_t f(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) | (~x & z);
}
constexpr std::uint32_t g(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) | (x & z) | (y & z);
}
constexpr std::uint32_t h(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}

} // namespace

void THash_MD4::Transform(const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLE32(block + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];

    // Round 1: words in order, shifts 3, 7, 11, 19.
    static constexpr unsigned s1[4] = {3, 7, 11, 19};
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t t = RotateLeft32(a + f(b, c, d) + x[i], s1[i % 4]);
        a = d, d = c, c = b, b = t;
    }
    // Round 2: words by columns, constant 0x5A827999, shifts 3, 5, 9, 13.
    static constexpr unsigned s2[4] = {3, 5, 9, 13};
    for (int i = 0; i < 16; ++i) {
        const int k = (i % 4) * 4 + i / 4;
        const std::uint32_t t = RotateLeft32(a + g(b, c, d) + x[k] + 0x5A827999u, s2[i % 4]);
        a = d, d = c, c = b, b = t;
    }
    // Round 3: words in bit-reversed order, constant 0x6ED9EBA1, shifts 3, 9, 11, 15.
    static constexpr int order3[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    static constexpr unsigned s3[4] = {3, 9, 11, 15};
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t t =
            RotateLeft32(a + h(b, c, d) + x[order3[i]] + 0x6ED9EBA1u, s3[i % 4]);
        a = d, d = c, c = b, b = t;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

std::string THash_MD4::KnownAnswer() const {
    return "\xa4\x48\x01\x7a\xaf\x21\xd8\x52\x5f\xc1\x0a\xe8\x7a\xa6\x72\x9d";
}

} // namespace kd
