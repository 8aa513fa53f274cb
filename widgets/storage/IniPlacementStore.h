#pragma once
#include "platform/IniFile.h"
#include "widgets/storage/PlacementStore.h"

namespace kd {

// Placement values as entries of an INI file's sections; the file is written when
// the store is closed after a change.
class IniPlacementStore : public PlacementStore {
public:
    explicit IniPlacementStore(std::string path) : file_(std::move(path)) {}

    std::string readString(const std::string& section, const std::string& name,
                           const std::string& def) override;
    // The INI file quotes what its reading would change: every value comes back as
    // written, quotes and all.
    void writeString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    void eraseSection(const std::string& section) override;
    void close() override;

private:
    IniFile file_;
    bool changed_ = false;
};

} // namespace kd
