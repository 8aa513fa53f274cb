#include "platform/FakeVolumeService.h"

namespace kd {

FakeVolumeService::Volume& FakeVolumeService::addVolume(const std::string& mountPoint,
                                                        bool removable, std::uint64_t freeSpace) {
    Volume v;
    v.info.mountPoint = mountPoint;
    v.info.device = "fake:" + mountPoint;
    v.info.fsType = "vfat";
    v.info.removable = removable;
    v.freeSpace = freeSpace;
    volumes_.push_back(std::move(v));
    return volumes_.back();
}

const FakeVolumeService::Volume* FakeVolumeService::find(const std::string& path) const {
    const Volume* best = nullptr;
    for (const auto& v : volumes_) {
        const std::string& mp = v.info.mountPoint;
        const bool under = mp == "/" || (path.compare(0, mp.size(), mp) == 0 &&
                                         (path.size() == mp.size() || path[mp.size()] == '/'));
        if (under && (!best || mp.size() >= best->info.mountPoint.size()))
            best = &v;
    }
    return best;
}

FakeVolumeService::Volume* FakeVolumeService::find(const std::string& path) {
    return const_cast<Volume*>(static_cast<const FakeVolumeService*>(this)->find(path));
}

std::optional<VolumeInfo> FakeVolumeService::volumeOf(const std::string& path) const {
    const Volume* v = find(path);
    return v ? std::optional<VolumeInfo>(v->info) : std::nullopt;
}

std::optional<std::uint64_t> FakeVolumeService::freeSpace(const std::string& path) const {
    const Volume* v = find(path);
    return v ? std::optional<std::uint64_t>(v->freeSpace) : std::nullopt;
}

std::optional<std::string> FakeVolumeService::volumeLabel(const std::string& path) const {
    const Volume* v = find(path);
    return v ? v->label : std::nullopt;
}

bool FakeVolumeService::setVolumeLabel(const std::string& path, const std::string& label) {
    Volume* v = find(path);
    if (!v || !v->labelWritable)
        return false;
    v->label = label.empty() ? std::nullopt : std::optional<std::string>(label);
    ++labelWrites;
    return true;
}

} // namespace kd
