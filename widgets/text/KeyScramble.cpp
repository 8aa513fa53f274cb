#include "widgets/text/KeyScramble.h"

namespace kd {
namespace {

unsigned char keyByte(std::string_view key, std::size_t index) {
    return key.empty() ? 0 : static_cast<unsigned char>(key[index % key.size()]);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EncodeXorHex(std::string_view key, std::string_view text) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned value = static_cast<unsigned char>(text[i]) ^ keyByte(key, i);
        hex += digits[value >> 4];
        hex += digits[value & 0x0f];
    }
    return hex;
}

std::string DecodeXorHex(std::string_view key, std::string_view hex) {
    std::string text;
    text.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        const unsigned value = high < 0 || low < 0 ? 32u : static_cast<unsigned>(high * 16 + low);
        text += static_cast<char>(value ^ keyByte(key, i / 2));
    }
    return text;
}

} // namespace kd
