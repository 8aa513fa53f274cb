#include "crypto/hash/Sapphire.h"

#include <cstring>

#include "crypto/base/Bits.h"

namespace kd {

THash_Sapphire320::~THash_Sapphire320() {
    state_.Wipe();
    SecureZero(digest_, sizeof digest_);
}

void THash_Sapphire320::Init() {
    std::memset(digest_, 0, sizeof digest_);
    count_ = 0;
    state_.Reset();
    THash::Init();
}

void THash_Sapphire320::Update(const void* data, std::size_t size) {
    if (!data)
        return;
    count_ += size;
    for (auto* p = static_cast<const std::uint8_t*>(data); size > 0; --size)
        state_.Encrypt(*p++);
}

void THash_Sapphire320::Final() {
    const auto size = static_cast<std::uint8_t>(DigestSize());
    // Stir the cards with 256 bytes that depend on the digest size.
    std::uint8_t stir[256];
    std::uint8_t b = size;
    for (int n = 255; n >= 0; --n) {
        b = static_cast<std::uint8_t>(b ^ n);
        stir[255 - n] = b;
    }
    Update(stir, sizeof stir);
    // Then a block that names the start values, the digest size and the length; each
    // of its bytes yields one digest byte.
    std::uint8_t block[40] = {0x80, 2, 0, size, 1, 3, 5, 7, 11};
    StoreLE64(block + 9, count_ * 8);
    for (std::size_t i = 0; i < size; ++i) {
        Update(&block[i], 1);
        digest_[i] ^= state_.lastCipher;
    }
    THash::Final();
}

} // namespace kd
