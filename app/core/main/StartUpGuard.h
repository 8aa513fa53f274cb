#pragma once
#include "platform/InstanceGuard.h"

#include <string>
#include <vector>

namespace kd {

// One running copy per executable file name. A second copy ends at once, unless
// its arguments ask it to wait for the running copy to end.
class StartUpGuard {
public:
    // programPath is argument 0 (it names the lock); arguments are the rest. Without a
    // lock directory the lock is the user's own (InstanceGuard::userLockPath).
    StartUpGuard(const std::string& programPath, std::vector<std::string> arguments,
                 const std::string& lockDirectory = {});
    ~StartUpGuard() { ReleaseGuard(); }
    StartUpGuard(const StartUpGuard&) = delete;
    StartUpGuard& operator=(const StartUpGuard&) = delete;

    // True when this copy may run: it is the only one, or it has waited for the
    // running one to end. False when it must end at once.
    bool StartUp();
    void ReleaseGuard() { guard_.release(); }

    // "wait" anywhere in an argument, in any letter case, even inside a longer word.
    static bool asksToWait(const std::vector<std::string>& arguments);

private:
    std::vector<std::string> arguments_;
    InstanceGuard guard_;
};

} // namespace kd
