#include "crypto/format/UUFormat.h"

namespace kd {
namespace {

constexpr std::size_t kLineBytes = 45;

} // namespace

const TStringFormat_UU& TStringFormat_UU::Instance() {
    static const TStringFormat_UU format;
    return format;
}

const TStringFormat_XX& TStringFormat_XX::Instance() {
    static const TStringFormat_XX format;
    return format;
}

std::string_view TStringFormat_UU::CharTable() const {
    static constexpr std::string_view table =
        "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_ \t\n\r";
    return table;
}

std::string_view TStringFormat_XX::CharTable() const {
    static constexpr std::string_view table =
        "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz \"()[]'\t\n\r";
    return table;
}

int TStringFormat_UU::valueOf(unsigned char c) const {
    const auto pos = CharTable().substr(0, 64).find(static_cast<char>(c));
    return pos == std::string_view::npos ? -1 : int(pos);
}

std::string TStringFormat_UU::BinaryToText(std::string_view data) const {
    const std::string_view digits = CharTable();
    std::string text;
    for (std::size_t line = 0; line < data.size(); line += kLineBytes) {
        const std::size_t n = std::min(kLineBytes, data.size() - line);
        text += digits[n];
        for (std::size_t i = 0; i < n; i += 3) {
            std::uint32_t v = 0;
            for (std::size_t k = 0; k < 3; ++k)
                v = (v << 8) | (i + k < n ? static_cast<unsigned char>(data[line + i + k]) : 0u);
            for (int k = 0; k < 4; ++k)
                text += digits[(v >> (18 - 6 * k)) & 63];
        }
    }
    return text;
}

std::string TStringFormat_UU::TextToBinary(std::string_view text) const {
    const auto invalid = [this] {
        return EStringFormat("Input is not an valid " + Name() + " Format.");
    };
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const int length = valueOf(static_cast<unsigned char>(text[pos++]));
        if (length < 0 || length > int(kLineBytes))
            throw invalid();
        for (int remaining = length; remaining > 0; remaining -= 3) {
            std::uint32_t v = 0;
            for (int got = 0; got < 4;) {
                if (pos >= text.size())
                    throw invalid();
                const int d = valueOf(static_cast<unsigned char>(text[pos++]));
                if (d >= 0) {
                    v = (v << 6) | std::uint32_t(d);
                    ++got;
                }
            }
            for (int k = 0; k < std::min(remaining, 3); ++k)
                out += static_cast<char>((v >> (16 - 8 * k)) & 0xFF);
        }
    }
    return out;
}

bool TStringFormat_UU::IsValid(std::string_view data, bool asText) const {
    if (!asText)
        return true;
    const std::string_view table = CharTable();
    int announced = 0;
    for (const char c : data) {
        if (table.find(c) == std::string_view::npos)
            return false;
        const int v = valueOf(static_cast<unsigned char>(c));
        if (announced == 0) {
            if (v < 0 || v > int(kLineBytes))
                return false;
            announced = (v + 2) / 3 * 4;
        } else if (v >= 0) {
            --announced;
        }
    }
    return announced == 0;
}

} // namespace kd
