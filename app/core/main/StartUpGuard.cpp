#include "app/core/main/StartUpGuard.h"

namespace kd {

StartUpGuard::StartUpGuard(const std::string& programPath, std::vector<std::string> arguments,
                           const std::string& lockDirectory)
    : arguments_(std::move(arguments)),
      guard_(InstanceGuard::lockNameFor(programPath), lockDirectory) {}

bool StartUpGuard::StartUp() {
    if (guard_.tryAcquire())
        return true;
    if (!asksToWait(arguments_))
        return false;
    guard_.acquireWaiting();
    return true;
}

bool StartUpGuard::asksToWait(const std::vector<std::string>& arguments) {
    for (std::string argument : arguments) {
        for (char& c : argument)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        if (argument.find("wait") != std::string::npos)
            return true;
    }
    return false;
}

} // namespace kd
