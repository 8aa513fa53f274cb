#include "platform/DescriptorTable.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "platform/UniqueFd.h"

namespace kd {

namespace {

// What the table is grown to: the descriptors a run holds ahead (files decoded or
// read ahead, their directories, archive parts) stay well within it.
constexpr rlim_t kReserved = 4096;

} // namespace

void ReserveDescriptorTable() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    // The usual soft limit of 1024 is raised as far as the hard one allows.
    if (limit.rlim_cur < kReserved && limit.rlim_max > limit.rlim_cur) {
        rlimit raised = limit;
        raised.rlim_cur = std::min(kReserved, limit.rlim_max);
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    const rlim_t wanted = std::min(kReserved, limit.rlim_cur);
    if (wanted < 2)
        return;
    const UniqueFd any(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!any)
        return;
    // The lowest free descriptor at or above the last one wanted: the table is grown
    // to hold it, and stays so when it is closed.
    const UniqueFd highest(::fcntl(any.get(), F_DUPFD_CLOEXEC, static_cast<int>(wanted - 1)));
}

} // namespace kd
