#include "crypto/base/Crc.h"

#include <array>

namespace kd::crc {
namespace {

template <class Word, Word Poly> constexpr std::array<Word, 256> reflectedTable() {
    std::array<Word, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        Word c = Word(i);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? Word((c >> 1) ^ Poly) : Word(c >> 1);
        t[i] = c;
    }
    return t;
}

constexpr std::array<std::uint16_t, 256> directTable1021() {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t c = std::uint16_t(i << 8);
        for (int k = 0; k < 8; ++k)
            c = (c & 0x8000) ? std::uint16_t((c << 1) ^ 0x1021) : std::uint16_t(c << 1);
        t[i] = c;
    }
    return t;
}

constexpr auto kCrc16 = reflectedTable<std::uint16_t, 0xA001>();
constexpr auto kCrc32 = reflectedTable<std::uint32_t, 0xEDB88320u>();
constexpr auto kCcitt = directTable1021();

} // namespace

std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size) {
    if (!data)
        return crc;
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = std::uint16_t((crc >> 8) ^ kCrc16[(crc ^ p[i]) & 0xFF]);
    return crc;
}

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
    if (!data)
        return crc;
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ kCrc32[(crc ^ p[i]) & 0xFF];
    return crc;
}

std::uint16_t Crc16CcittUpdate(std::uint16_t crc, const void* data, std::size_t size) {
    if (!data)
        return crc;
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = std::uint16_t(((crc << 8) | p[i]) ^ kCcitt[crc >> 8]);
    return crc;
}

} // namespace kd::crc
