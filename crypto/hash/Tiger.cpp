#include "crypto/hash/Tiger.h"

#include <cstring>

#include "crypto/base/Bits.h"
#include "crypto/hash/TigerTransform.h"

namespace kd {

namespace {

// The three 64-bit chaining words are kept little-endian in the first 24 bytes of the
// chaining state, which are the digest.
std::uint8_t* ChainBytes(std::uint32_t* state) {
    return reinterpret_cast<std::uint8_t*>(state);
}

} // namespace

void THash_Tiger::SetInitialState() {
    static constexpr std::uint64_t kInitial[3] = {0x0123456789ABCDEF, 0xFEDCBA9876543210,
                                                  0xF096A5B4C3B2E187};
    std::memset(state_, 0, sizeof state_);
    for (int i = 0; i < 3; ++i)
        StoreLE64(ChainBytes(state_) + 8 * i, kInitial[i]);
}

void THash_Tiger::Init() {
    if (passes_ < kMinPasses || passes_ > kMaxPasses)
        passes_ = kMinPasses;
    THash_MD4::Init();
}

void THash_Tiger::Transform(const std::uint8_t* block) {
    std::uint64_t chain[3];
    for (int i = 0; i < 3; ++i)
        chain[i] = LoadLE64(ChainBytes(state_) + 8 * i);
    tiger::Compress(chain, block, 1, passes_);
    for (int i = 0; i < 3; ++i)
        StoreLE64(ChainBytes(state_) + 8 * i, chain[i]);
}

// The digest of "abc" with 3 passes.
std::string THash_Tiger::KnownAnswer() const {
    return "\x2a\xab\x14\x84\xe8\xc1\x58\xf2\xbf\xb8\xc5\xff\x41\xb5\x7a\x52"
           "\x51\x29\x13\x1c\x95\x7b\x5f\x93";
}

} // namespace kd
