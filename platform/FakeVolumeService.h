#pragma once
#include <vector>

#include "platform/VolumeService.h"

namespace kd {

// Simulated volumes for tests: each is a directory tree (its mount point) with a
// label, free space and a removable flag that the test sets and watches.
class FakeVolumeService : public VolumeService {
public:
    struct Volume {
        VolumeInfo info;
        std::optional<std::string> label;
        std::uint64_t freeSpace = 0;
        bool labelWritable = true;
    };

    // Adds a volume; a later one with a longer mount point takes the paths below it.
    Volume& addVolume(const std::string& mountPoint, bool removable = false,
                      std::uint64_t freeSpace = 0);
    // The volume of path, or nullptr.
    Volume* find(const std::string& path);
    const Volume* find(const std::string& path) const;

    std::optional<VolumeInfo> volumeOf(const std::string& path) const override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) const override;
    std::optional<std::string> volumeLabel(const std::string& path) const override;
    bool setVolumeLabel(const std::string& path, const std::string& label) override;

    int labelWrites = 0; // successful setVolumeLabel calls

private:
    std::vector<Volume> volumes_;
};

} // namespace kd
