#include "support/Unreadable.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kd::test {
namespace {

constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool capabilities(__user_cap_data_struct (&data)[2], bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

} // namespace

Unreadable::Unreadable(std::string path, mode_t mode) : path_(std::move(path)) {
    struct stat st {};
    ::stat(path_.c_str(), &st);
    oldMode_ = st.st_mode & 07777;
    ::chmod(path_.c_str(), mode);
    __user_cap_data_struct data[2]{};
    if (capabilities(data, false) && (data[0].effective & kOverrides)) {
        savedEffective_[0] = data[0].effective;
        savedEffective_[1] = data[1].effective;
        data[0].effective &= ~kOverrides;
        capabilitiesDropped_ = capabilities(data, true);
    }
}

Unreadable::~Unreadable() {
    if (capabilitiesDropped_) {
        __user_cap_data_struct data[2]{};
        capabilities(data, false);
        data[0].effective = savedEffective_[0];
        data[1].effective = savedEffective_[1];
        capabilities(data, true);
    }
    ::chmod(path_.c_str(), oldMode_);
}

bool Unreadable::effective() const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}

std::vector<std::string> withoutPermissionOverride(const std::string& program) {
    if (::geteuid() != 0)
        return {program};
    return {"/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search", program};
}

} // namespace kd::test
