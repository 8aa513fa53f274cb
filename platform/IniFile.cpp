#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"
#include "platform/Trim.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kd {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::string readFileOrEmpty(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The text of a value as stored: quoted when reading it back would otherwise change it
// (blanks at either end are trimmed, one pair of surrounding quotes is removed).
std::string storedValue(const std::string& value) {
    const bool trimmed = trimBlanks(value).size() != value.size();
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return trimmed || quoted ? '"' + value + '"' : value;
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    sections_.push_back(Section{{}, false, {}});
    for (auto& text : splitLines(decodeTextBytes(readFileOrEmpty(path_)))) {
        Line parsed{std::move(text), {}, {}};
        const std::string_view line = trimBlanks(parsed.text);
        if (line.starts_with('[')) {
            const auto close = line.find(']');
            if (close != std::string_view::npos) {
                sections_.push_back(
                    Section{std::string(trimBlanks(line.substr(1, close - 1))), true, {}});
                sections_.back().lines.push_back(std::move(parsed));
                continue;
            }
        }
        const auto equals = line.find('=');
        if (!line.starts_with(';') && equals != std::string_view::npos) {
            parsed.key = trimBlanks(line.substr(0, equals));
            std::string_view value = trimBlanks(line.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            parsed.value = value;
        }
        sections_.back().lines.push_back(std::move(parsed));
    }
}

IniFile::Section* IniFile::findSection(const std::string& name) {
    const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
        return s.hasHeader && sameName(s.name, name);
    });
    return found == sections_.end() ? nullptr : &*found;
}

const IniFile::Section* IniFile::findSection(const std::string& name) const {
    return const_cast<IniFile*>(this)->findSection(name);
}

std::optional<std::string> IniFile::readString(const std::string& section,
                                               const std::string& key) const {
    if (const Section* s = findSection(section)) {
        for (const Line& line : s->lines)
            if (!line.key.empty() && sameName(line.key, key))
                return line.value;
    }
    return std::nullopt;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    return readString(section, key).value_or(def);
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    const std::string_view trimmedKey = trimBlanks(key);
    if (hasLineBreak(section) || section.find(']') != std::string::npos ||
        trimBlanks(section).size() != section.size())
        throw Exception("Invalid INI section name \"" + section + "\" in " + path_);
    if (trimmedKey.empty() || trimmedKey.size() != key.size() || hasLineBreak(key) ||
        key.find('=') != std::string::npos || key.starts_with(';') || key.starts_with('['))
        throw Exception("Invalid INI key name \"" + key + "\" in " + path_);
    if (hasLineBreak(value))
        throw Exception("The value of \"" + key + "\" holds a line break and cannot be stored in " +
                        path_);

    Line line{key + '=' + storedValue(value), key, value};
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back(Section{section, true, {Line{'[' + section + ']', {}, {}}}});
        sections_.back().lines.push_back(std::move(line));
        return;
    }
    for (Line& existing : s->lines) {
        if (!existing.key.empty() && sameName(existing.key, key)) {
            existing.text = key + '=' + storedValue(value);
            existing.value = value;
            return;
        }
    }
    // After the last line that is not blank, so trailing blank lines keep separating it
    // from the next section.
    auto end = s->lines.end();
    while (end != s->lines.begin() && trimBlanks((end - 1)->text).empty())
        --end;
    s->lines.insert(end, std::move(line));
}

bool IniFile::sectionExists(const std::string& section) const {
    return findSection(section) != nullptr;
}

std::vector<std::string> IniFile::keys(const std::string& section) const {
    std::vector<std::string> names;
    if (const Section* s = findSection(section)) {
        for (const Line& line : s->lines) {
            if (line.key.empty())
                continue;
            if (std::none_of(names.begin(), names.end(),
                             [&](const std::string& n) { return sameName(n, line.key); }))
                names.push_back(line.key);
        }
    }
    return names;
}

void IniFile::eraseSection(const std::string& section) {
    std::erase_if(sections_,
                  [&](const Section& s) { return s.hasHeader && sameName(s.name, section); });
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    if (Section* s = findSection(section))
        std::erase_if(s->lines,
                      [&](const Line& l) { return !l.key.empty() && sameName(l.key, key); });
}

void IniFile::updateFile() const {
    std::vector<std::string> lines;
    for (const Section& s : sections_)
        for (const Line& line : s.lines)
            lines.push_back(line.text);
    writeTextLines(path_, lines);
}

} // namespace kd
