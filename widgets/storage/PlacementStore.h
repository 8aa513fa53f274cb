#pragma once
#include <string>

namespace kd {

// An open store of placement values: one INI file, or one key of our registry store
// with its sections as subkeys. Integers are kept as decimal text, Booleans as "0" or
// "1"; a missing section or value reads as the default.
class PlacementStore {
public:
    virtual ~PlacementStore() = default;

    virtual std::string readString(const std::string& section, const std::string& name,
                                   const std::string& def) = 0;
    virtual void writeString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
    virtual void eraseSection(const std::string& section) = 0;
    // Makes the writes lasting (the INI file is written as a whole here).
    virtual void close() {}

    // The default when the text is missing or no whole number in range.
    int readInteger(const std::string& section, const std::string& name, int def);
    void writeInteger(const std::string& section, const std::string& name, int value);
    void writeBool(const std::string& section, const std::string& name, bool value);
};

} // namespace kd
