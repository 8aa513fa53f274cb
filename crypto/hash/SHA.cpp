#include "crypto/hash/SHA.h"

#include "crypto/base/Bits.h"
#include "crypto/hash/ShaCompress.h"

namespace kd {

void THash_SHA::SetInitialState() {
    THash_RipeMD160::SetInitialState();
    rotateExpansion_ = false;
}

void THash_SHA1::SetInitialState() {
    THash_SHA::SetInitialState();
    rotateExpansion_ = true;
}

void THash_SHA::Transform(const std::uint8_t* block) {
    if (rotateExpansion_)
        sha_detail::CompressSha1(state_, block);
    else
        sha_detail::CompressPortable(state_, block, false);
}

void THash_SHA::FinishDigest() {
    for (int i = 0; i < 5; ++i)
        StoreBE32(reinterpret_cast<std::uint8_t*>(&state_[i]), state_[i]);
}

std::string THash_SHA::KnownAnswer() const {
    return "\x01\x64\xb8\xa9\x14\xcd\x2a\x5e\x74\xc4\xf7\xff\x08\x2c\x4d\x97\xf1\xed\xf8\x80";
}

std::string THash_SHA1::KnownAnswer() const {
    return "\xa9\x99\x3e\x36\x47\x06\x81\x6a\xba\x3e\x25\x71\x78\x50\xc2\x6c\x9c\xd0\xd8\x9d";
}

} // namespace kd
