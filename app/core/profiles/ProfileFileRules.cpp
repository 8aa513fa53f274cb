#include "app/core/profiles/ProfileFileRules.h"

#include "platform/Trim.h"

namespace kd {

std::string upperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::string_view yesNoWord(bool value) {
    return value ? "Ano" : "Ne";
}

bool parseYesNo(std::string_view line) {
    return upperAscii(line) == "ANO";
}

std::optional<std::int64_t> parseProfileInteger(std::string_view text) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // More digits than this cannot be a value of any profile field.
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::int64_t integerInRange(std::string_view line, std::int64_t min, std::int64_t max) {
    const auto value = parseProfileInteger(line);
    return value && *value >= min && *value <= max ? *value : 0;
}

std::string_view splitModeWord(std::uint8_t mode) {
    switch (mode) {
    case 1:
        return "BLOK";
    case 2:
        return "VEL_DISK";
    default:
        return "NE";
    }
}

std::uint8_t splitModeFromWord(std::string_view line) {
    const std::string word = upperAscii(line);
    if (word == "NE")
        return 0;
    return word == "VEL_DISK" ? 2 : 1;
}

std::string_view periodKindDigit(std::uint8_t kind) {
    switch (kind) {
    case 0:
        return "3";
    case 1:
        return "0";
    case 2:
        return "1";
    case 3:
        return "2";
    default:
        return "4";
    }
}

std::uint8_t periodKindFromDigit(std::string_view line) {
    const std::string_view digit = trimBlanks(line);
    if (digit == "0")
        return 1;
    if (digit == "1")
        return 2;
    if (digit == "2")
        return 3;
    return digit == "3" ? 0 : 4;
}

std::uint8_t backupKindFromLine(std::string_view line) {
    const std::string word = upperAscii(line);
    if (word == "ANO")
        return 1;
    if (word == "NE")
        return 0;
    return static_cast<std::uint8_t>(integerInRange(line, 0, 2));
}

std::string singleLine(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c == '\r' || c == '\n')
            c = ' ';
    return result;
}

} // namespace kd
