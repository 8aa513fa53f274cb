#include "crypto/hash/Hash.h"

#include <algorithm>
#include <vector>

#include "crypto/base/Bits.h"
#include "crypto/base/Random.h"
#include "crypto/format/StringFormat.h"
#include "crypto/hash/Mac.h"

namespace kd {

std::size_t HashClass::DigestSize() const {
    return Create()->DigestSize();
}

std::string HashClass::DigestOfText(std::string_view text, std::shared_ptr<TProtection> protection,
                                    int formatId) const {
    const auto hash = Create(std::move(protection));
    hash->Init();
    hash->Update(text.data(), text.size());
    hash->Final();
    return BinaryToFormat(hash->Digest(), std::ptrdiff_t(hash->DigestSize()), formatId);
}

std::string THash::DigestText(int formatId) {
    return BinaryToFormat(Digest(), std::ptrdiff_t(DigestSize()), formatId);
}

void THash::Init() {
    StartHook();
}

void THash::Update(const void*, std::size_t) {}

void THash::Final() {
    EndHook();
}

void THash::StartHook() {
    if (auto* mac = dynamic_cast<TMAC*>(Protection().get()))
        mac->KeyDigest(*this);
}

void THash::EndHook() {
    const auto& chained = Protection();
    if (!chained)
        return;
    if (auto* mac = dynamic_cast<TMAC*>(chained.get()))
        mac->SealDigest(*this);
    else
        chained->ProcessMemory(Digest(), DigestSize(), TProtectionAction::Scramble);
}

void THash::StartAction(TProtectionAction action) {
    Init();
    if (action == TProtectionAction::Wipe)
        RandomizeBuffer(TimeSeed(), Digest(), DigestSize());
    TProtection::StartAction(action);
}

void THash::FinishAction(TProtectionAction action) {
    TProtection::FinishAction(action);
    if (action == TProtectionAction::Calculate)
        Final();
    else
        Init();
}

void THash::ProcessChunk(void* buffer, std::size_t size, TProtectionAction action) {
    if (action != TProtectionAction::Decode)
        TProtection::ProcessChunk(buffer, size, action);
    if (Actions.Contains(action) && buffer) {
        auto* p = static_cast<std::uint8_t*>(buffer);
        const std::size_t d = DigestSize();
        switch (action) {
        case TProtectionAction::Calculate:
            Update(p, size);
            break;
        case TProtectionAction::Scramble:
        case TProtectionAction::Wipe:
            for (std::size_t done = 0; done < size;) {
                const std::size_t n = std::min(size - done, d);
                Update(p + done, n);
                Final();
                std::copy_n(Digest(), n, p + done);
                done += n;
            }
            break;
        case TProtectionAction::Encode:
        case TProtectionAction::Decode: {
            // The keystream: each piece is the digest of the previous digest.
            std::vector<std::uint8_t> previous(d);
            for (std::size_t done = 0; done < size;) {
                const std::size_t n = std::min(size - done, d);
                std::copy_n(Digest(), d, previous.begin());
                Update(previous.data(), d);
                Final();
                XorBuffers(p + done, Digest(), n, p + done);
                done += n;
            }
            SecureZero(previous.data(), previous.size());
            break;
        }
        }
    }
    if (action == TProtectionAction::Decode)
        TProtection::ProcessChunk(buffer, size, action);
}

} // namespace kd
