#include "crypto/hash/Checksums.h"

#include <bit>

#include "crypto/base/Bits.h"
#include "crypto/base/Crc.h"

namespace kd {

static_assert(std::endian::native == std::endian::little,
              "checksum registers are read as little-endian digests");

THash_XOR16::~THash_XOR16() {
    SecureZero(&crc_, sizeof crc_);
}

void THash_XOR16::Init() {
    crc_ = InitialValue();
    THash::Init();
}

void THash_XOR16::Update(const void* data, std::size_t size) {
    if (!data)
        return;
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc_ = std::uint16_t(std::rotl(crc_, 5) ^ p[i]);
}

void THash_CRC16_CCITT::Update(const void* data, std::size_t size) {
    crc_ = crc::Crc16CcittUpdate(crc_, data, size);
}

void Thash_CRC16_Standard::Update(const void* data, std::size_t size) {
    crc_ = crc::Crc16Update(crc_, data, size);
}

// Both running sums and the held byte are the register of a longer or shorter message.
THash_XOR32::~THash_XOR32() {
    SecureZero(&crc_, sizeof crc_);
    SecureZero(&evenSum_, sizeof evenSum_);
    SecureZero(&oddSum_, sizeof oddSum_);
    SecureZero(&held_, sizeof held_);
}

void THash_XOR32::Init() {
    crc_ = InitialValue();
    count_ = 0;
    evenSum_ = oddSum_ = 0;
    held_ = 0;
    THash::Init();
}

void THash_XOR32::Update(const void* data, std::size_t size) {
    if (!data || size == 0)
        return;
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i, ++count_) {
        const std::uint8_t b = p[i];
        if (count_ == 0) {
            oddSum_ = b;
        } else {
            // The word of held_ and b closes in the even alignment at odd positions, in
            // the odd alignment at even ones.
            std::uint32_t& sum = (count_ & 1) ? evenSum_ : oddSum_;
            sum = std::rotl(sum, 5) ^ (std::uint32_t(held_) | std::uint32_t(b) << 8);
        }
        held_ = b;
    }
    crc_ = (count_ & 1) ? oddSum_ : evenSum_;
}

void THash_CRC32::Update(const void* data, std::size_t size) {
    crc_ = crc::Crc32Update(crc_, data, size);
}

void THash_CRC32::Final() {
    crc_ = ~crc_;
    THash::Final();
}

} // namespace kd
