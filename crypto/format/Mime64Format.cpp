#include "crypto/format/Mime64Format.h"

#include <array>

namespace kd {

const TStringFormat_MIME64& TStringFormat_MIME64::Instance() {
    static const TStringFormat_MIME64 format;
    return format;
}

std::string_view TStringFormat_MIME64::CharTable() const {
    static constexpr std::string_view table =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="
        " $()[]{},;:-_\\*\"'\t\n\r";
    return table;
}

std::string TStringFormat_MIME64::BinaryToText(std::string_view data) const {
    const std::string_view digits = CharTable();
    std::string text;
    text.reserve((data.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < data.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, data.size() - i);
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = (v << 8) | (k < n ? static_cast<unsigned char>(data[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= n ? digits[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

std::string TStringFormat_MIME64::TextToBinary(std::string_view text) const {
    std::array<int, 256> value{};
    value.fill(-1);
    const std::string_view digits = CharTable().substr(0, 64);
    for (std::size_t i = 0; i < digits.size(); ++i)
        value[static_cast<unsigned char>(digits[i])] = int(i);

    std::string out;
    out.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int count = 0;
    const auto flush = [&] {
        // k characters carry 6k bits: 4 give 3 bytes, 3 give 2, 2 give 1, 1 gives none.
        bits <<= 6 * (4 - count);
        for (int k = 0; k < (count * 6) / 8; ++k)
            out += static_cast<char>((bits >> (16 - 8 * k)) & 0xFF);
        bits = 0;
        count = 0;
    };
    for (const unsigned char c : text) {
        if (c == '=') {
            if (count)
                flush();
            continue;
        }
        if (value[c] < 0)
            continue;
        bits = (bits << 6) | std::uint32_t(value[c]);
        if (++count == 4)
            flush();
    }
    if (count)
        flush();
    return out;
}

} // namespace kd
