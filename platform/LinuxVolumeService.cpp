#include "platform/LinuxVolumeService.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/statvfs.h>

namespace kd {

namespace fs = std::filesystem;

namespace {

// mountinfo escapes space, tab, newline and backslash as three octal digits.
std::string unescapeOctal(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            const std::string digits = s.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// udev escapes unsafe characters of labels as \xHH.
std::string unescapeHex(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 3]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16));
            i += 3;
            continue;
        }
        out += s[i];
    }
    return out;
}

bool isUnder(const std::string& path, const std::string& mountPoint) {
    if (mountPoint == "/")
        return true;
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

std::string existingCanonical(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    while (!p.empty() && !fs::exists(p, ec) && p != p.root_path())
        p = p.parent_path();
    const fs::path canonical = fs::canonical(p, ec);
    return ec ? p.string() : canonical.string();
}

} // namespace

std::vector<LinuxVolumeService::Mount> LinuxVolumeService::readMounts() const {
    std::vector<Mount> mounts;
    std::ifstream in(where_.mountInfo);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, devNo, root, mountPoint, options, field;
        if (!(fields >> id >> parent >> devNo >> root >> mountPoint >> options))
            continue;
        while (fields >> field && field != "-") {
        }
        Mount m;
        m.deviceNumber = devNo;
        m.mountPoint = unescapeOctal(mountPoint);
        if (!(fields >> m.fsType >> m.source))
            continue;
        m.source = unescapeOctal(m.source);
        mounts.push_back(std::move(m));
    }
    return mounts;
}

std::optional<LinuxVolumeService::Mount>
LinuxVolumeService::mountOf(const std::string& path) const {
    const std::string target = existingCanonical(path);
    std::optional<Mount> best;
    // The last of equally long matches wins: a later mount hides an earlier one.
    for (auto& m : readMounts())
        if (isUnder(target, m.mountPoint) &&
            (!best || m.mountPoint.size() >= best->mountPoint.size()))
            best = std::move(m);
    return best;
}

bool LinuxVolumeService::removable(const std::string& deviceNumber) const {
    std::error_code ec;
    const fs::path dev = fs::canonical(fs::path(where_.sysDevBlock) / deviceNumber, ec);
    if (ec)
        return false;
    // A partition has no flag of its own: its disk, the parent directory, has it.
    for (const fs::path& dir : {dev, dev.parent_path()}) {
        std::ifstream flag(dir / "removable");
        int value = 0;
        if (flag >> value)
            return value == 1;
    }
    return false;
}

std::optional<VolumeInfo> LinuxVolumeService::volumeOf(const std::string& path) const {
    const auto m = mountOf(path);
    if (!m)
        return std::nullopt;
    return VolumeInfo{m->mountPoint, m->source, m->fsType, removable(m->deviceNumber)};
}

std::optional<std::uint64_t> LinuxVolumeService::freeSpace(const std::string& path) const {
    struct statvfs st {};
    if (::statvfs(existingCanonical(path).c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

std::optional<std::string> LinuxVolumeService::volumeLabel(const std::string& path) const {
    const auto m = mountOf(path);
    if (!m || m->source.empty() || m->source[0] != '/')
        return std::nullopt;
    std::error_code ec;
    const fs::path device = fs::canonical(m->source, ec);
    if (ec)
        return std::nullopt;
    for (const auto& link : fs::directory_iterator(where_.byLabel, ec)) {
        std::error_code linkError;
        if (fs::canonical(link.path(), linkError) == device && !linkError)
            return unescapeHex(link.path().filename().string());
    }
    return std::nullopt;
}

bool LinuxVolumeService::setVolumeLabel(const std::string&, const std::string&) {
    return false;
}

} // namespace kd
