#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kd {

// An INI file read and written by the rules of the original program's INI files:
// section and key names match ignoring letter case (A-Z), the first occurrence wins,
// names and values are trimmed, one pair of surrounding double quotes is removed from
// a value, ";" inside a value is text (only a line starting with ";" is a comment), an
// empty value is a value, and lines without "=" are ignored. The file is UTF-8 when
// valid (or after a BOM), else Windows-1250. Changes stay in memory until updateFile.
class IniFile {
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }

    std::optional<std::string> readString(const std::string& section, const std::string& key) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Replaces the first occurrence, else adds the key at the end of its section (the
    // section at the end of the file). Throws kd::Exception for a name or value that
    // cannot be stored on one line.
    void writeString(const std::string& section, const std::string& key, const std::string& value);

    bool sectionExists(const std::string& section) const;
    // The section's keys in file order, each once.
    std::vector<std::string> keys(const std::string& section) const;
    void eraseSection(const std::string& section);
    void deleteKey(const std::string& section, const std::string& key);

    // Writes the file as UTF-8 with CR LF line ends, atomically, keeping the order of
    // sections, keys and comments. Throws kd::Exception when it cannot be written.
    void updateFile() const;

private:
    struct Line {
        std::string text; // the line as read, or as it will be written
        std::string key;  // empty for a comment or any line that is not a pair
        std::string value;
    };
    struct Section {
        std::string name;
        bool hasHeader = true; // false for the lines before the first section
        std::vector<Line> lines;
    };

    Section* findSection(const std::string& name);
    const Section* findSection(const std::string& name) const;

    std::string path_;
    std::vector<Section> sections_;
};

} // namespace kd
