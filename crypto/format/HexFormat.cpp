#include "crypto/format/HexFormat.h"

#include <cctype>

namespace kd {

const TStringFormat_HEX& TStringFormat_HEX::Instance() {
    static const TStringFormat_HEX format;
    return format;
}

const TStringFormat_HEXL& TStringFormat_HEXL::Instance() {
    static const TStringFormat_HEXL format;
    return format;
}

std::string_view TStringFormat_HEX::CharTable() const {
    static constexpr std::string_view table =
        "0123456789ABCDEFX$ abcdefhHx()[]{},;:-_/\\*+\"'\t\n\r";
    return table;
}

std::string_view TStringFormat_HEXL::CharTable() const {
    static constexpr std::string_view table =
        "0123456789abcdefX$ ABCDEFhHx()[]{},;:-_/\\*+\"'\t\n\r";
    return table;
}

std::string TStringFormat_HEX::BinaryToText(std::string_view data) const {
    const std::string_view digits = CharTable().substr(0, 16);
    std::string text;
    text.reserve(data.size() * 2);
    for (const unsigned char b : data) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::string TStringFormat_HEX::TextToBinary(std::string_view text) const {
    std::string out;
    bool prefixSeen = false;
    bool high = true;
    unsigned char byte = 0;
    for (const unsigned char c : text) {
        const int u = std::toupper(c);
        if (u == 'X' || u == '$') {
            if (!prefixSeen) {
                prefixSeen = true;
                out.clear();
                high = true;
            }
            continue;
        }
        int v;
        if (u >= '0' && u <= '9')
            v = u - '0';
        else if (u >= 'A' && u <= 'F')
            v = u - 'A' + 10;
        else
            continue;
        if (high) {
            byte = static_cast<unsigned char>(v << 4);
        } else {
            out += static_cast<char>(byte | v);
        }
        high = !high;
    }
    return out;
}

bool TStringFormat_HEX::IsValid(std::string_view data, bool asText) const {
    if (!asText)
        return true;
    const std::string_view table = CharTable();
    for (const char c : data)
        if (table.find(c) == std::string_view::npos)
            return false;
    return true;
}

} // namespace kd
