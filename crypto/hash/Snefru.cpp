#include "crypto/hash/Snefru.h"

#include <cstring>

#include "crypto/base/Bits.h"

namespace kd {

THash_Snefru::~THash_Snefru() {
    SecureZero(digest_, sizeof digest_);
}

void THash_Snefru::Init() {
    blocks_.Reset();
    std::memset(digest_, 0, sizeof digest_);
    THash::Init();
}

void THash_Snefru::Update(const void* data, std::size_t size) {
    blocks_.Feed(data, size,
                 [this](const std::uint8_t* p, std::size_t n) { snefru::Compress(digest_, p, n); });
}

// The pending bytes are followed by zeros (a zero "pad" byte); when fewer than 8 bytes
// of the block remain after them, that block is compressed and a zero block takes the
// length. The bit length goes little-endian into the block's last 8 bytes.
void THash_Snefru::Final() {
    auto compress = [this](const std::uint8_t* p, std::size_t n) {
        snefru::Compress(digest_, p, n);
    };
    const std::uint64_t bits = blocks_.Count() * 8;
    std::uint8_t* last = blocks_.Close(0x00, 8, compress);
    StoreLE64(last + kBlockSize - 8, bits);
    compress(last, 1);
    blocks_.ClearBuffer();
    THash::Final();
}

} // namespace kd
