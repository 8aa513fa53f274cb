#include "crypto/hash/Haval.h"

#include <cstring>

#include "crypto/base/Bits.h"
#include "crypto/hash/HavalPiWords.h"

namespace kd {

THash_Haval256::~THash_Haval256() {
    SecureZero(chain_, sizeof chain_);
}

void THash_Haval256::Init() {
    blocks_.Reset();
    std::memcpy(chain_, haval::PiFractionWords().data(), sizeof chain_);
    if (passes_ < 3 || passes_ > 5)
        passes_ = DigestSize() <= 20 ? 3 : DigestSize() <= 28 ? 4 : 5;
    compress_ = haval::CompressFor(passes_);
    THash::Init();
}

void THash_Haval256::Update(const void* data, std::size_t size) {
    if (!compress_)
        compress_ = haval::CompressFor(passes_);
    blocks_.Feed(data, size,
                 [this](const std::uint8_t* p, std::size_t n) { compress_(chain_, p, n); });
}

void THash_Haval256::Final() {
    if (!compress_)
        compress_ = haval::CompressFor(passes_);
    auto compress = [this](const std::uint8_t* p, std::size_t n) { compress_(chain_, p, n); };
    const std::uint64_t bits = blocks_.Count() * 8;
    // The tail: version 1 and the pass count, the digest length in bits / 4, the
    // message length in bits.
    std::uint8_t* last = blocks_.Close(0x01, 10, compress);
    last[118] = static_cast<std::uint8_t>(passes_ * 8 + 1);
    last[119] = static_cast<std::uint8_t>(DigestSize() * 2);
    StoreLE64(last + 120, bits);
    compress(last, 1);
    haval::Fold(chain_, DigestSize());
    blocks_.ClearBuffer();
    THash::Final();
}

// The digests of "abc" with each class's default pass count.
std::string THash_Haval256::KnownAnswer() const {
    return "\x97\x6c\xd6\x25\x4c\x33\x79\x69\xe5\x91\x3b\x15\x83\x92\xa2\x92"
           "\x1a\xf1\x6f\xca\x51\xf5\x60\x1d\x48\x6e\x0a\x9d\xe0\x11\x56\xe7";
}
std::string THash_Haval224::KnownAnswer() const {
    return "\x12\x4c\x43\xd2\xba\x48\x84\x59\x9d\x01\x3e\x8c\x87\x2b\xfe\xa4"
           "\xc8\x8b\x0b\x6b\xf6\x30\x39\x74\xcb\xe0\x4e\x68";
}
std::string THash_Haval192::KnownAnswer() const {
    return "\x7e\x29\x88\x1e\xd0\x5c\x91\x59\x03\xdd\x5e\x24\xa8\xe8\x1c\xde"
           "\x5d\x91\x01\x42\xae\x66\x20\x7c";
}
std::string THash_Haval160::KnownAnswer() const {
    return "\xb2\x1e\x87\x6c\x4d\x39\x1e\x2a\x89\x76\x61\x14\x9d\x83\x57\x6b\x55\x30\xa0\x89";
}
std::string THash_Haval128::KnownAnswer() const {
    return "\x9e\x40\xed\x88\x3f\xb6\x3e\x98\x5d\x29\x9b\x40\xcd\xa2\xb8\xf2";
}

} // namespace kd
