#include "platform/RegistryStore.h"

#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace kd {
namespace {

namespace fs = std::filesystem;

template <class T> auto findNamed(T& items, const std::string& name) {
    return std::find_if(items.begin(), items.end(),
                        [&](const auto& item) { return RegistryStore::sameName(item.name, name); });
}

void refuseLineBreak(const std::string& text) {
    if (text.find_first_of("\r\n") != std::string::npos)
        throw Exception("A registry entry cannot hold a line break: \"" + text + "\"");
}

bool isFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// One argument of a desktop entry's Exec line, quoted when it needs to be.
std::string execArgument(const std::string& argument) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string out;
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    if (argument.find_first_of(reserved) != std::string::npos || argument.empty())
        out = '"' + out + '"';
    // The desktop entry format then escapes "\" and "%" once more in every value.
    std::string escaped;
    for (char c : out) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '%')
            escaped += "%%";
        else
            escaped += c;
    }
    return escaped;
}

} // namespace

bool RegistryStore::sameName(const std::string& a, const std::string& b) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

RegistryStore::RegistryStore(std::string programName, std::string configHome) {
    const fs::path home(configHome);
    filePath_ = (home / programName / "registry.ini").string();
    autostartPath_ = (home / "autostart" / (programName + ".desktop")).string();
}

std::string RegistryStore::defaultConfigHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config";
}

std::vector<RegistryStore::Key> RegistryStore::load() const {
    std::vector<Key> keys;
    if (!isFile(filePath_))
        return keys;
    for (const std::string& line : readTextLines(filePath_)) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            keys.push_back({line.substr(1, line.size() - 2), {}});
        } else if (const auto eq = line.find('='); eq != std::string::npos && !keys.empty()) {
            keys.back().values.push_back({line.substr(0, eq), line.substr(eq + 1)});
        }
    }
    return keys;
}

void RegistryStore::save(const std::vector<Key>& keys) const {
    std::string text;
    for (const Key& key : keys) {
        text += "[" + key.name + "]\n";
        for (const Value& value : key.values)
            text += value.name + "=" + value.text + "\n";
    }
    std::error_code ec;
    fs::create_directories(fs::path(filePath_).parent_path(), ec);
    writeFileAtomically(filePath_, text);
}

std::optional<std::string> RegistryStore::readString(const std::string& key,
                                                     const std::string& name) const {
    auto keys = load();
    const auto k = findNamed(keys, key);
    if (k == keys.end())
        return std::nullopt;
    const auto v = findNamed(k->values, name);
    if (v == k->values.end())
        return std::nullopt;
    if (sameName(key, RunKey) && !isFile(autostartPath_))
        return std::nullopt;
    return v->text;
}

bool RegistryStore::valueExists(const std::string& key, const std::string& name) const {
    return readString(key, name).has_value();
}

bool RegistryStore::keyExists(const std::string& key) const {
    const auto keys = load();
    return findNamed(keys, key) != keys.end();
}

void RegistryStore::writeString(const std::string& key, const std::string& name,
                                const std::string& value) {
    writeStrings({{key, name, value}});
}

void RegistryStore::writeStrings(const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
        refuseLineBreak(entry.key);
        refuseLineBreak(entry.name);
        refuseLineBreak(entry.value);
        if (entry.key.find(']') != std::string::npos || entry.name.find('=') != std::string::npos ||
            entry.name.empty())
            throw Exception("Invalid registry name \"" + entry.key + "\" \"" + entry.name + "\"");
    }
    if (entries.empty())
        return;
    auto keys = load();
    bool changed = false;
    for (const Entry& entry : entries) {
        auto k = findNamed(keys, entry.key);
        if (k == keys.end()) {
            k = keys.insert(keys.end(), {entry.key, {}});
            changed = true;
        }
        if (auto v = findNamed(k->values, entry.name); v == k->values.end()) {
            k->values.push_back({entry.name, entry.value});
            changed = true;
        } else if (v->text != entry.value) {
            v->text = entry.value;
            changed = true;
        }
    }
    // The windows write their places back at every close, mostly unchanged: a
    // rewrite then would only wait for the disk.
    if (changed)
        save(keys);
    for (const Entry& entry : entries)
        if (sameName(entry.key, RunKey))
            writeAutostart(entry.name, entry.value);
}

bool RegistryStore::deleteValue(const std::string& key, const std::string& name) {
    auto keys = load();
    bool found = false;
    if (auto k = findNamed(keys, key); k != keys.end()) {
        if (auto v = findNamed(k->values, name); v != k->values.end()) {
            k->values.erase(v);
            save(keys);
            found = true;
        }
    }
    if (sameName(key, RunKey)) {
        std::error_code ec;
        found = fs::remove(autostartPath_, ec) || found;
    }
    return found;
}

void RegistryStore::writeAutostart(const std::string& name, const std::string& command) const {
    const std::string text = "[Desktop Entry]\nType=Application\nName=" + name +
                             "\nExec=" + desktopExec(command) +
                             "\nX-GNOME-Autostart-enabled=true\n";
    std::error_code ec;
    fs::create_directories(fs::path(autostartPath_).parent_path(), ec);
    writeFileAtomically(autostartPath_, text);
}

std::string RegistryStore::desktopExec(const std::string& command) {
    std::size_t programEnd = command.find(' ');
    for (std::size_t blank = command.size(); blank != std::string::npos && blank > 0;
         blank = command.rfind(' ', blank - 1)) {
        if (isFile(command.substr(0, blank))) {
            programEnd = blank;
            break;
        }
    }
    if (programEnd == std::string::npos)
        return execArgument(command);
    std::string exec = execArgument(command.substr(0, programEnd));
    std::size_t pos = programEnd;
    while (pos < command.size()) {
        const std::size_t start = command.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        const std::size_t end = std::min(command.find(' ', start), command.size());
        exec += " " + execArgument(command.substr(start, end - start));
        pos = end;
    }
    return exec;
}

} // namespace kd
