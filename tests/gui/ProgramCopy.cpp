#include "ProgramCopy.h"

#include "TestPaths.h"
#include "platform/InstanceGuard.h"

#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace kd::test {

ProgramCopy::ProgramCopy(const std::string& directory, const std::string& name)
    : path_(directory + "/" + (name.empty() ? uniqueName() : name)) {
    if (!std::filesystem::exists(path_))
        std::filesystem::copy_file(std::string(KORDYNE_BUILD_DIR) + "/app/kordyne", path_);
}

ProgramCopy::~ProgramCopy() {
    ::unlink(lockPath().c_str());
}

std::string ProgramCopy::lockPath() const {
    return InstanceGuard::userLockPath(InstanceGuard::lockNameFor(path_));
}

std::string ProgramCopy::uniqueName() {
    static std::atomic<int> count{0};
    return "kordyne-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
}

} // namespace kd::test
