#pragma once
// The XOR and CRC checksums: the register is the digest (little-endian).
#include <cstdint>

#include "crypto/hash/Hash.h"

namespace kd {

// 16-bit register; per byte: rotate left by 5, XOR the byte into the low byte.
class THash_XOR16 : public TChecksum {
    KD_HASH_CLASS(THash_XOR16)
public:
    using TChecksum::TChecksum;
    ~THash_XOR16() override;
    void Init() override;
    void Update(const void* data, std::size_t size) override;
    std::uint8_t* Digest() override { return reinterpret_cast<std::uint8_t*>(&crc_); }
    std::size_t DigestSize() const override { return 2; }

protected:
    virtual std::uint16_t InitialValue() const { return 0; }
    std::uint16_t crc_ = 0;
};

// CRC-16 of polynomial 0x1021 in direct form (bytes enter at the low end), from 0xFFFF.
class THash_CRC16_CCITT : public THash_XOR16 {
    KD_HASH_CLASS(THash_CRC16_CCITT)
public:
    using THash_XOR16::THash_XOR16;
    void Update(const void* data, std::size_t size) override;

protected:
    std::uint16_t InitialValue() const override { return 0xFFFF; }
};

// CRC-16/ARC.
class Thash_CRC16_Standard : public THash_XOR16 {
    KD_HASH_CLASS(Thash_CRC16_Standard)
public:
    using THash_XOR16::THash_XOR16;
    void Update(const void* data, std::size_t size) override;
};

// 32-bit register; a message of odd length gives its first byte alone (XORed into the
// low byte), then each following little-endian 16-bit word: rotate left by 5, XOR the
// word into the low half. The result does not depend on how the message is cut into
// Update calls: both alignments are followed until the length is known.
class THash_XOR32 : public TChecksum {
    KD_HASH_CLASS(THash_XOR32)
public:
    using TChecksum::TChecksum;
    ~THash_XOR32() override;
    void Init() override;
    void Update(const void* data, std::size_t size) override;
    std::uint8_t* Digest() override { return reinterpret_cast<std::uint8_t*>(&crc_); }
    std::size_t DigestSize() const override { return 4; }

protected:
    virtual std::uint32_t InitialValue() const { return 0; }
    std::uint32_t crc_ = 0;

private:
    std::uint64_t count_ = 0;
    std::uint32_t evenSum_ = 0; // words from byte 0 on
    std::uint32_t oddSum_ = 0;  // byte 0 alone, words from byte 1 on
    std::uint8_t held_ = 0;     // the first byte of a word whose second has not come
};

// CRC-32 of ISO 3309 (as in ZIP).
class THash_CRC32 : public THash_XOR32 {
    KD_HASH_CLASS(THash_CRC32)
public:
    using THash_XOR32::THash_XOR32;
    void Update(const void* data, std::size_t size) override;
    void Final() override;

protected:
    std::uint32_t InitialValue() const override { return 0xFFFFFFFFu; }
};

} // namespace kd
