#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/ArchiveAttribute.h"

namespace kd {

// Archive attributes held in memory only: for tests.
class ArchiveAttributeFake : public ArchiveAttribute {
public:
    void Reset(const std::string& path, const ArchiveStamp& stamp) override {
        stamps_[path] = stamp;
        ++resets;
    }
    int resets = 0;

protected:
    std::optional<ArchiveStamp> Recorded(const std::string& path) override {
        const auto found = stamps_.find(path);
        return found == stamps_.end() ? std::nullopt : std::optional(found->second);
    }

private:
    std::map<std::string, ArchiveStamp> stamps_;
};

} // namespace kd
