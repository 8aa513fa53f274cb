#include "crypto/base/Bits.h"

namespace kd {

void SwapBytes32Buffer(const void* source, void* destination, std::size_t count) {
    const auto* src = static_cast<const std::uint8_t*>(source);
    auto* dst = static_cast<std::uint8_t*>(destination);
    for (std::size_t i = count; i-- > 0;) {
        std::uint32_t w;
        std::memcpy(&w, src + 4 * i, 4);
        w = SwapBytes32(w);
        std::memcpy(dst + 4 * i, &w, 4);
    }
}

void XorBuffers(const void* a, const void* b, std::size_t size, void* out) {
    const auto* pa = static_cast<const std::uint8_t*>(a);
    const auto* pb = static_cast<const std::uint8_t*>(b);
    auto* po = static_cast<std::uint8_t*>(out);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, pa + i, 8);
        std::memcpy(&y, pb + i, 8);
        x ^= y;
        std::memcpy(po + i, &x, 8);
    }
    for (; i < size; ++i)
        po[i] = std::uint8_t(pa[i] ^ pb[i]);
}

int CompareMemory(const void* a, const void* b, std::size_t size) {
    const auto* pa = static_cast<const std::uint8_t*>(a);
    const auto* pb = static_cast<const std::uint8_t*>(b);
    for (std::size_t i = 0; i < size; ++i)
        if (pa[i] != pb[i])
            return int(pa[i]) - int(pb[i]);
    return 0;
}

void SecureFill(void* buffer, std::size_t size, std::uint8_t value) {
    volatile auto* p = static_cast<volatile std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < size; ++i)
        p[i] = value;
}

} // namespace kd
