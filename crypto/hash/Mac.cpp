#include "crypto/hash/Mac.h"

#include <algorithm>

#include "crypto/base/Bits.h"
#include "crypto/format/StringFormat.h"
#include "crypto/hash/Hash.h"

namespace kd {

TMAC::TMAC(std::string keyText, std::shared_ptr<TProtection> protection)
    : TProtection(std::move(protection)), KeyText(std::move(keyText)) {}

TMAC::~TMAC() {
    SecureZero(KeyText.data(), KeyText.size());
}

void TMAC::KeyDigest(THash& hash) {
    if (KeyText.empty())
        return;
    std::string key = hash.Class().DigestOfText(KeyText, Protection(), kFormatCopy);
    XorBuffers(hash.Digest(), key.data(), std::min(key.size(), hash.DigestSize()), hash.Digest());
    for (const std::uint8_t fill : {0xAA, 0x55, 0x00})
        SecureFill(key.data(), key.size(), fill);
}

void TMAC::SealDigest(THash& hash) {
    if (Protection())
        Protection()->ProcessMemory(hash.Digest(), hash.DigestSize(), TProtectionAction::Scramble);
}

} // namespace kd
