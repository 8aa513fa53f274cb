#include "app/core/profiles/ProfilePassword.h"

#include "app/core/profiles/ProfileTexts.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"

#include <algorithm>
#include <optional>

namespace kd {
namespace {

bool allEven(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 1) == 0; });
}

} // namespace

bool isValidPasswordText(std::string_view plain) {
    return std::all_of(plain.begin(), plain.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

std::string passwordRuleText(std::string_view languageCode) {
    return localText(languageCode, ProfileText::PasswordRule);
}

std::string encodeStoredPassword(std::string_view plain) {
    if (!isValidPasswordText(plain))
        throw Exception(passwordRuleText("EN"));
    std::string bytes;
    for (char c : plain)
        bytes += static_cast<char>((static_cast<unsigned char>(c) * 2) & 0xFF);
    return toUtf8(bytes, CodePage::Cp1250);
}

std::string decodeStoredPassword(std::string_view stored) {
    std::string plain = fromUtf8Lossy(stored, CodePage::Cp1250);
    for (char& c : plain)
        c = static_cast<char>(static_cast<unsigned char>(c) >> 1);
    return plain;
}

std::string storedPasswordFromLine(std::string_view decodedLine, std::string_view rawLine) {
    const std::optional<std::string> asDecoded = fromUtf8(decodedLine, CodePage::Cp1250);
    if (asDecoded && allEven(*asDecoded))
        return std::string(decodedLine);
    if (allEven(rawLine))
        return toUtf8(rawLine, CodePage::Cp1250);
    return std::string(decodedLine);
}

std::string storedPasswordAfterEdit(const std::string& currentStored, std::string_view typed,
                                    bool confirmed) {
    return confirmed ? encodeStoredPassword(typed) : currentStored;
}

} // namespace kd
