#pragma once
#include <string>
#include <vector>

#include "platform/VolumeService.h"

namespace kd {

// Volumes from the kernel's mount table (/proc/self/mountinfo), the removable flag from
// sysfs (/sys/dev/block/MAJ:MIN), free space from statvfs and labels from udev's
// /dev/disk/by-label links. Setting a label needs file-system tools and privileges
// that a backup program does not have, so setVolumeLabel always answers false.
// The three locations can be replaced, so that tests can feed their own tables.
class LinuxVolumeService : public VolumeService {
public:
    struct Locations {
        std::string mountInfo = "/proc/self/mountinfo";
        std::string sysDevBlock = "/sys/dev/block";
        std::string byLabel = "/dev/disk/by-label";
    };

    LinuxVolumeService() = default;
    explicit LinuxVolumeService(Locations locations) : where_(std::move(locations)) {}

    std::optional<VolumeInfo> volumeOf(const std::string& path) const override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) const override;
    std::optional<std::string> volumeLabel(const std::string& path) const override;
    bool setVolumeLabel(const std::string& path, const std::string& label) override;

private:
    struct Mount {
        std::string deviceNumber; // "MAJ:MIN"
        std::string mountPoint;
        std::string fsType;
        std::string source;
    };
    std::vector<Mount> readMounts() const;
    std::optional<Mount> mountOf(const std::string& path) const;
    bool removable(const std::string& deviceNumber) const;

    Locations where_;
};

} // namespace kd
