#include "platform/DateText.h"

#include "platform/Trim.h"

#include <cctype>
#include <cmath>

namespace kd {
namespace {

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

// Reads 1 to maxDigits decimal digits at pos; -1 when there are none.
int readNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    int value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && digits < maxDigits &&
           std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

// Removes a trailing "AM"/"PM" (any letter case); tells which, or 0 for none.
char takeMeridiem(std::string_view& text) {
    if (text.size() < 2)
        return 0;
    const char first =
        static_cast<char>(std::toupper(static_cast<unsigned char>(text[text.size() - 2])));
    const char second = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    if (second != 'M' || (first != 'A' && first != 'P'))
        return 0;
    text = trimBlanks(text.substr(0, text.size() - 2));
    return first;
}

// Skips blanks at pos.
void skipBlanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
}

// Reads blanks, the separator (the first one read fixes it for the others) and blanks.
bool readDateSeparator(std::string_view text, std::size_t& pos, char& separator) {
    skipBlanks(text, pos);
    if (pos >= text.size())
        return false;
    const char c = text[pos];
    if (separator == 0 ? (c != '.' && c != '/' && c != '-') : c != separator)
        return false;
    separator = c;
    ++pos;
    skipBlanks(text, pos);
    return true;
}

} // namespace

std::string formatShortDate(TDateTime value) {
    const DateParts p = decodeDateTime(value);
    return std::to_string(p.day) + "." + std::to_string(p.month) + "." + std::to_string(p.year);
}

std::string formatTime(TDateTime value) {
    // Before the epoch the fraction counts away from zero, so take its magnitude.
    const DateParts p = decodeDateTime(std::fabs(value - std::trunc(value)));
    // A fraction that rounds up to midnight shows as 0:00:00.
    const int hour = p.day == 30 ? p.hour : 0;
    return std::to_string(hour) + ":" + twoDigits(p.minute) + ":" + twoDigits(p.second);
}

std::string formatTimeExact(TDateTime value) {
    const DateParts p = decodeDateTime(std::fabs(value - std::trunc(value)));
    std::string text = formatTime(value);
    if (p.day == 30 && p.millisecond != 0)
        text += "." + std::to_string(p.millisecond + 1000).substr(1);
    return text;
}

std::optional<TDateTime> parseTime(std::string_view text) {
    text = trimBlanks(text);
    const char meridiem = takeMeridiem(text);
    std::size_t pos = 0;
    int hour = readNumber(text, pos, 2);
    if (hour < 0 || pos >= text.size() || text[pos] != ':')
        return std::nullopt;
    ++pos;
    const int minute = readNumber(text, pos, 2);
    int second = 0;
    int millisecond = 0;
    if (minute < 0)
        return std::nullopt;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if ((second = readNumber(text, pos, 2)) < 0)
            return std::nullopt;
        if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
            ++pos;
            if ((millisecond = readNumber(text, pos, 3)) < 0)
                return std::nullopt;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    if (meridiem != 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (meridiem == 'P' ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return encodeTime(hour, minute, second, millisecond);
}

std::optional<TDateTime> parseShortDate(std::string_view text) {
    text = trimBlanks(text);
    std::size_t pos = 0;
    char separator = 0;
    const int first = readNumber(text, pos, 4);
    const std::size_t firstDigits = pos;
    if (first < 0 || !readDateSeparator(text, pos, separator))
        return std::nullopt;
    const int month = readNumber(text, pos, 2);
    if (month < 0 || !readDateSeparator(text, pos, separator))
        return std::nullopt;
    const std::size_t lastStart = pos;
    const int last = readNumber(text, pos, 4);
    const std::size_t lastDigits = pos - lastStart;
    if (last < 0 || pos != text.size())
        return std::nullopt;

    int year = 0;
    int day = 0;
    if (firstDigits == 4 && lastDigits <= 2) { // yyyy-M-d
        year = first;
        day = last;
    } else if (firstDigits <= 2 && lastDigits == 4) {
        day = first;
        year = last;
    } else if (firstDigits <= 2 && lastDigits == 2) {
        day = first;
        year = last + (last < 69 ? 2000 : 1900);
    } else {
        return std::nullopt;
    }
    if (!isValidDate(year, month, day))
        return std::nullopt;
    return encodeDate(year, month, day);
}

} // namespace kd
