#include "crypto/cipher/Cipher.h"

#include "crypto/base/Random.h"
#include "crypto/cipher/BlockChain.h"
#include "crypto/cipher/SecureWipe.h"

#include <algorithm>
#include <cstring>

namespace kd {
namespace {

using cipher_detail::xorBytes;

bool isMac(TCipherMode mode) {
    return mode == TCipherMode::cmXorChainMAC || mode == TCipherMode::cmCBCMAC ||
           mode == TCipherMode::cmCFB8MAC;
}

} // namespace

bool& StrictKeySize() {
    static bool strict = false;
    return strict;
}

TCipher::TCipher(std::shared_ptr<TProtection> protection, const CipherContext& context)
    : TProtection(std::move(protection)), context_(context), scratch_(context.BlockSize),
      initVector_(context.BlockSize), feedback_(context.BlockSize) {}

TCipher::~TCipher() {
    // The schedule lives in the derived object, which is gone by now: it wipes its own
    // (see CipherWith); here the three block buffers.
    for (auto* buf : {&scratch_, &initVector_, &feedback_})
        SecureFill(buf->data(), buf->size(), 0);
}

void TCipher::SetFlag(int index, bool on) {
    const std::uint32_t bit = std::uint32_t{1} << index;
    flags_ = on ? flags_ | bit : flags_ & ~bit;
}

void TCipher::keySizeError(std::size_t smallest) const {
    throw ECipherException(2, "Length from Encryptionkey is invalid.\r\nKeysize for " +
                                  Class().ClassName() + " must be to " + std::to_string(smallest) +
                                  "-" + std::to_string(KeySize()) + " bytes");
}

void TCipher::CheckKeySize(int& size) {
    SetFlag(kInitialized, false);
    WipeKey();
    if (size < 0)
        size = 0;
    if (static_cast<std::size_t>(size) > KeySize()) {
        if (StrictKeySize())
            keySizeError(0);
        size = static_cast<int>(KeySize());
    }
}

void TCipher::Init(const void* key, int size, const void* iv) {
    CheckKeySize(size);
    try {
        SetupKey(static_cast<const std::uint8_t*>(key), static_cast<std::size_t>(size));
        SetVector(iv);
    } catch (...) {
        WipeKey();
        throw;
    }
}

void TCipher::InitKey(std::string_view text, const void* iv) {
    if (!KeyHashClass)
        throw ECipherException(5, Class().ClassName() + " has no key hash class for InitKey().");
    // The hash object clears its digest when it goes, on every way out.
    const std::shared_ptr<THash> hash = KeyHashClass->Create();
    hash->Init();
    hash->Update(text.data(), text.size());
    hash->Final();
    Init(hash->Digest(), static_cast<int>(std::min(hash->DigestSize(), KeySize())), iv);
}

void TCipher::SetVector(const void* iv) {
    if (iv)
        std::memcpy(initVector_.data(), iv, BlockSize());
    else
        EncryptBlock(initVector_.data());
    feedback_ = initVector_;
    SetFlag(kInitialized, true);
}

void TCipher::ResetFeedback() {
    if (initVector_ == feedback_)
        return;
    scratch_ = feedback_;
    feedback_ = initVector_;
}

void TCipher::WipeKey() {
    SetFlag(0, false);
    SetFlag(kInitialized, false);
    std::span<std::uint8_t> schedule = Schedule();
    auto fill = [&](std::uint8_t blocks, std::uint8_t rest) {
        SecureFill(initVector_.data(), BlockSize(), blocks);
        SecureFill(feedback_.data(), BlockSize(), blocks);
        SecureFill(scratch_.data(), BlockSize(), rest);
        SecureFill(schedule.data(), schedule.size(), rest);
    };
    fill(0xAA, 0xAA);
    fill(0x55, 0x55);
    fill(0xFF, 0x00);
}

void TCipher::checkInitialized() const {
    if (!GetFlag(kInitialized))
        throw ECipherException(3, Class().ClassName() +
                                      " is not initialized call Init() or InitKey() before.");
}

void TCipher::encryptScratchFromFeedback() {
    std::memcpy(scratch_.data(), feedback_.data(), BlockSize());
    EncryptBlock(scratch_.data());
}

// A piece shorter than a block in the chaining modes: a stream XOR with E(F), after
// which F = E(F) xor F. `out` may be null (the MAC modes).
void TCipher::finalPiece(const std::uint8_t* in, std::uint8_t* out, std::size_t r) {
    encryptScratchFromFeedback();
    if (out)
        xorBytes(out, in, scratch_.data(), r);
    xorBytes(feedback_.data(), scratch_.data(), feedback_.data(), BlockSize());
}

void TCipher::shiftFeedback(std::uint8_t last) {
    std::memmove(feedback_.data(), feedback_.data() + 1, BlockSize() - 1);
    feedback_[BlockSize() - 1] = last;
}

void TCipher::checkCodingSize(std::uint64_t size) const {
    checkInitialized();
    if (Mode == TCipherMode::cmECB && size % BlockSize() != 0)
        throw ECipherException(4, Class().ClassName() + " in ECB mode codes whole blocks only: " +
                                      std::to_string(size) + " bytes are not a multiple of " +
                                      std::to_string(BlockSize()) + ".");
}

void TCipher::EncryptData(const void* source, void* destination, std::size_t size) {
    checkCodingSize(size);
    const std::size_t b = BlockSize();
    const auto* in = static_cast<const std::uint8_t*>(source);
    auto* out = static_cast<std::uint8_t*>(destination);
    std::uint8_t* k = scratch_.data();
    const std::size_t whole = size - size % b, r = size % b;

    switch (Mode) {
    case TCipherMode::cmXorChain:
    case TCipherMode::cmCBC:
    case TCipherMode::cmXorChainMAC:
    case TCipherMode::cmCBCMAC: {
        const bool chain = Mode == TCipherMode::cmXorChain || Mode == TCipherMode::cmXorChainMAC;
        const bool mac = isMac(Mode);
        ChainBlocks(in, out, whole, chain, mac);
        if (r)
            finalPiece(in + whole, mac ? nullptr : out + whole, r);
        break;
    }
    case TCipherMode::cmCFB8:
    case TCipherMode::cmOFB8:
    case TCipherMode::cmCFB8MAC:
        for (std::size_t i = 0; i < size; ++i) {
            encryptScratchFromFeedback();
            const std::uint8_t c = in[i] ^ k[0];
            if (Mode != TCipherMode::cmCFB8MAC)
                out[i] = c;
            shiftFeedback(Mode == TCipherMode::cmOFB8 ? k[0] : c);
        }
        break;
    case TCipherMode::cmECB:
        if (out != in)
            std::memmove(out, in, size);
        for (std::size_t pos = 0; pos < size; pos += b)
            EncryptBlock(out + pos);
        break;
    }
}

void TCipher::DecryptData(const void* source, void* destination, std::size_t size) {
    if (isMac(Mode)) {
        EncryptData(source, destination, size);
        return;
    }
    checkCodingSize(size);
    const std::size_t b = BlockSize();
    const auto* in = static_cast<const std::uint8_t*>(source);
    auto* out = static_cast<std::uint8_t*>(destination);
    std::uint8_t* f = feedback_.data();
    std::uint8_t* k = scratch_.data();
    const std::size_t whole = size - size % b, r = size % b;

    switch (Mode) {
    case TCipherMode::cmXorChain:
    case TCipherMode::cmCBC:
        for (std::size_t pos = 0; pos < whole; pos += b) {
            std::memcpy(k, in + pos, b); // the ciphertext, kept for the chain
            std::memmove(out + pos, in + pos, b);
            DecryptBlock(out + pos);
            xorBytes(out + pos, out + pos, f, b);
            if (Mode == TCipherMode::cmXorChain)
                xorBytes(f, k, f, b);
            else
                std::memcpy(f, k, b);
        }
        if (r)
            finalPiece(in + whole, out + whole, r);
        break;
    case TCipherMode::cmCFB8:
    case TCipherMode::cmOFB8:
        for (std::size_t i = 0; i < size; ++i) {
            encryptScratchFromFeedback();
            const std::uint8_t c = in[i];
            out[i] = c ^ k[0];
            shiftFeedback(Mode == TCipherMode::cmOFB8 ? k[0] : c);
        }
        break;
    default: // ECB
        if (out != in)
            std::memmove(out, in, size);
        for (std::size_t pos = 0; pos < size; pos += b)
            DecryptBlock(out + pos);
        break;
    }
}

void TCipher::ChainBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t whole,
                          bool xorChain, bool mac) {
    cipher_detail::chainBlocks([this](std::uint8_t* block) { EncryptBlock(block); }, in, out, whole,
                               BlockSize(), feedback_.data(), scratch_.data(), xorChain, mac);
}

void TCipher::CheckRunSize(std::uint64_t size, TProtectionAction action) const {
    if (Actions.Contains(action))
        checkCodingSize(size);
    TProtection::CheckRunSize(size, action);
}

void TCipher::restartFeedback(TProtectionAction action) {
    if (action == TProtectionAction::Calculate)
        return;
    if (action == TProtectionAction::Wipe)
        RandomizeBuffer(TimeSeed(), feedback_.data(), BlockSize());
    else
        ResetFeedback();
}

void TCipher::StartAction(TProtectionAction action) {
    checkInitialized();
    restartFeedback(action);
    TProtection::StartAction(action);
}

void TCipher::FinishAction(TProtectionAction action) {
    TProtection::FinishAction(action);
    restartFeedback(action);
}

void TCipher::ProcessChunk(void* buffer, std::size_t size, TProtectionAction action) {
    if (action == TProtectionAction::Decode) {
        if (Actions.Contains(action))
            DecryptData(buffer, buffer, size);
        TProtection::ProcessChunk(buffer, size, action);
        return;
    }
    TProtection::ProcessChunk(buffer, size, action);
    if (Actions.Contains(action))
        EncryptData(buffer, buffer, size);
}

bool SelfTest(const CipherClass& cls) {
    const std::shared_ptr<TCipher> cipher = cls.Create();
    const CipherContext& c = cls.Context();
    std::vector<std::uint8_t> key(c.KeySize), block(c.BlockSize);
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i);
    const std::vector<std::uint8_t> plain = block;
    cipher->Mode = TCipherMode::cmECB;
    cipher->Init(key.data(), static_cast<int>(key.size()));
    cipher->ResetFeedback();
    cipher->EncryptData(block.data(), block.data(), block.size());
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (auto b : block)
        hex += {digits[b >> 4], digits[b & 15]};
    cipher->ResetFeedback();
    cipher->DecryptData(block.data(), block.data(), block.size());
    return hex == cipher->KnownAnswer() && block == plain;
}

} // namespace kd
