#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kd {

// The mounted file system that holds a path.
struct VolumeInfo {
    std::string mountPoint; // "/" or "/media/usb", without a trailing "/" except for "/"
    std::string device;     // the mount source, for example "/dev/sdb1"
    std::string fsType;     // "vfat", "ext4", ...
    bool removable = false; // a removable medium (USB stick, card, floppy)
};

// Drive type, free space and volume labels, in place of the drive functions of the
// original platform. The engine asks it whether an archive lies on a removable disk,
// how much room a disk has, and for disk labels of spanned sets; tests inject
// FakeVolumeService to simulate disks.
class VolumeService {
public:
    virtual ~VolumeService() = default;

    // The volume that holds path (the path need not exist: its nearest existing
    // parent decides); nullopt when none can be found.
    virtual std::optional<VolumeInfo> volumeOf(const std::string& path) const = 0;
    // Bytes an unprivileged user may still write on the volume of path.
    virtual std::optional<std::uint64_t> freeSpace(const std::string& path) const = 0;
    // The label of the volume of path; nullopt when it has none or it cannot be read.
    virtual std::optional<std::string> volumeLabel(const std::string& path) const = 0;
    // Replaces the label of the volume of path; false when that is not possible.
    virtual bool setVolumeLabel(const std::string& path, const std::string& label) = 0;

    bool isRemovable(const std::string& path) const {
        const auto volume = volumeOf(path);
        return volume && volume->removable;
    }
};

} // namespace kd
