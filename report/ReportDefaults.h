#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace kd {

// Page dimensions the report designer starts from (A4, hundredths of an inch).
struct TPageDefaults {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t reserved = 0;
    std::array<std::int32_t, 4> margins{}; // left, top, right, bottom
    std::array<std::int32_t, 5> fields{};
    std::array<float, 2> scales{};
    bool flag = false;
};

// The designer's drawing defaults.
struct TDrawingDefaults {
    std::int32_t flag = 0;
    std::int32_t number = 0;
    std::uint32_t colour = 0;
    std::uint32_t value = 0; // the bits of the single-precision 2.0
    std::string text;
    std::array<std::int32_t, 6> values{};
};

TPageDefaults startupPageDefaults();
TDrawingDefaults startupDrawingDefaults();

} // namespace kd
