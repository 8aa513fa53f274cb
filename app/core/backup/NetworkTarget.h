#pragma once
#include <string>

namespace kd {

// Reaches a profile's target share before a run. Nothing is ever mounted behind the
// user's back, and no password is put on a command line: the system's automounter
// (or a mount the user set up) provides the share, and the run only checks that the
// directory is there afterwards.
class NetworkTarget {
public:
    virtual ~NetworkTarget() = default;
    // Tries to make directory reachable for the user; true when it exists afterwards.
    virtual bool connect(const std::string& directory, const std::string& user,
                         const std::string& password) = 0;
};

// Touches the directory, which makes an automounter mount it, and waits for nothing.
class AutomountNetworkTarget : public NetworkTarget {
public:
    bool connect(const std::string& directory, const std::string& user,
                 const std::string& password) override;
};

// True when path names an existing directory (following links).
bool directoryExists(const std::string& path);

} // namespace kd
