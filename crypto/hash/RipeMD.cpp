#include "crypto/hash/RipeMD.h"

#include "crypto/hash/RipeMDTransform.h"

namespace kd {

void THash_RipeMD128::Transform(const std::uint8_t* block) {
    ripemd::Compress128(state_, block, 1);
}

void THash_RipeMD160::Transform(const std::uint8_t* block) {
    ripemd::Compress160(state_, block, 1);
}

void THash_RipeMD256::Transform(const std::uint8_t* block) {
    ripemd::Compress256(state_, block, 1);
}

void THash_RipeMD256::SetInitialState() {
    THash_MD4::SetInitialState();
    state_[4] = 0x76543210;
    state_[5] = 0xFEDCBA98;
    state_[6] = 0x89ABCDEF;
    state_[7] = 0x01234567;
}

void THash_RipeMD320::Transform(const std::uint8_t* block) {
    ripemd::Compress320(state_, block, 1);
}

// The digests of "abc".
std::string THash_RipeMD128::KnownAnswer() const {
    return "\xc1\x4a\x12\x19\x9c\x66\xe4\xba\x84\x63\x6b\x0f\x69\x14\x4c\x77";
}
std::string THash_RipeMD160::KnownAnswer() const {
    return "\x8e\xb2\x08\xf7\xe0\x5d\x98\x7a\x9b\x04\x4a\x8e\x98\xc6\xb0\x87\xf1\x5a\x0b\xfc";
}
std::string THash_RipeMD256::KnownAnswer() const {
    return "\xaf\xbd\x6e\x22\x8b\x9d\x8c\xbb\xce\xf5\xca\x2d\x03\xe6\xdb\xa1"
           "\x0a\xc0\xbc\x7d\xcb\xe4\x68\x0e\x1e\x42\xd2\xe9\x75\x45\x9b\x65";
}
std::string THash_RipeMD320::KnownAnswer() const {
    return "\xde\x4c\x01\xb3\x05\x4f\x89\x30\xa7\x9d\x09\xae\x73\x8e\x92\x30"
           "\x1e\x5a\x17\x08\x5b\xef\xfd\xc1\xb8\xd1\x16\x71\x3e\x74\xf8\x2f"
           "\xa9\x42\xd6\x4c\xdb\xc4\x68\x2d";
}

} // namespace kd
