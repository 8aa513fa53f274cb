#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kd {

// The per-user store that stands in for the registry: an INI-style file
// <config home>/<program>/registry.ini, one section per key. Key and value names are
// kept as written and matched ignoring letter case (A-Z); every change rewrites the
// file atomically, and a write that changes nothing leaves it alone.
//
// The start-with-the-system key (RunKey) is mirrored as an XDG autostart entry
// <config home>/autostart/<program>.desktop, so that the desktop really starts the
// program; a value there counts as present only while that entry exists too.
class RegistryStore {
public:
    static constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    // programName: the executable's file name. configHome: $XDG_CONFIG_HOME, else
    // $HOME/.config (defaultConfigHome).
    explicit RegistryStore(std::string programName, std::string configHome = defaultConfigHome());
    static std::string defaultConfigHome();

    std::optional<std::string> readString(const std::string& key, const std::string& name) const;
    bool valueExists(const std::string& key, const std::string& name) const;
    // Whether the key is there (with or without values).
    bool keyExists(const std::string& key) const;
    // Creates the key when needed. Throws kd::Exception when the store cannot be
    // written or a name or value holds a line break.
    void writeString(const std::string& key, const std::string& name, const std::string& value);
    // One value to write, with its key.
    struct Entry {
        std::string key, name, value;
    };
    // Writes the entries in order, as writeString would one by one, with the file
    // rewritten once, and not at all when it holds every value already; nothing is
    // written when one of them is refused.
    void writeStrings(const std::vector<Entry>& entries);
    // False when there was no such value. Throws kd::Exception when the store cannot
    // be written.
    bool deleteValue(const std::string& key, const std::string& name);

    // Whether two key or value names are one (letter case of A-Z ignored).
    static bool sameName(const std::string& a, const std::string& b);

    const std::string& filePath() const { return filePath_; }
    const std::string& autostartPath() const { return autostartPath_; }

    // The desktop entry's Exec line for a command written as the registry holds it:
    // a program path, then arguments after blanks. The program is the longest leading
    // part (ending at a blank) that names an existing file, else the text up to the
    // first blank; it is quoted as the desktop entry format requires.
    static std::string desktopExec(const std::string& command);

private:
    struct Value {
        std::string name, text;
    };
    struct Key {
        std::string name;
        std::vector<Value> values;
    };

    std::vector<Key> load() const;
    void save(const std::vector<Key>& keys) const;
    void writeAutostart(const std::string& name, const std::string& command) const;

    std::string filePath_;
    std::string autostartPath_;
};

} // namespace kd
