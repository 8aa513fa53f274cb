#include "crypto/base/Random.h"

#include <chrono>
#include <ctime>

namespace kd {

std::uint32_t RandomizeBuffer(std::uint32_t seed, void* buffer, std::size_t size) {
    if (!buffer)
        return seed;
    auto* p = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < size; ++i) {
        seed ^= p[i];
        seed = seed * 134775813u + 1u;
        p[i] = std::uint8_t(seed >> 24);
    }
    return seed;
}

std::uint32_t TimeSeed() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const auto ofDay = std::uint32_t(ms % (24 * 60 * 60 * 1000));
    const auto ticks = std::uint64_t(steady_clock::now().time_since_epoch().count());
    return ofDay ^ std::uint32_t(ticks) ^ std::uint32_t(ticks >> 32);
}

} // namespace kd
