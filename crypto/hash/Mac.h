#pragma once
// A key attached to any hash: chained in front of a hash object, it mixes the key's
// digest into the hash's initial state and seals the final digest.
#include <string>

#include "crypto/base/Protection.h"

namespace kd {

class THash;

class TMAC : public TProtection {
public:
    explicit TMAC(std::string keyText = {}, std::shared_ptr<TProtection> protection = {});
    ~TMAC() override;

    std::string KeyText;

    // The start hook of a hash chained to this MAC: XORs the key's digest (by the hash's
    // own class, chained to this MAC's protection) into the hash's initial digest.
    virtual void KeyDigest(THash& hash);
    // The end hook: this MAC's protection scrambles the hash's digest in place.
    virtual void SealDigest(THash& hash);
};

} // namespace kd
