#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace kd::test {

// Takes the read permission of a file or directory away while it lives (mode 000,
// or the mode given), and gives its mode back at the end.
//
// Root reads anything, so while the object lives the calling thread also gives up
// the capabilities that override file permissions (CAP_DAC_OVERRIDE and
// CAP_DAC_READ_SEARCH; the permitted set keeps them, and they come back at the end).
class Unreadable {
public:
    explicit Unreadable(std::string path, mode_t mode = 0);
    ~Unreadable();
    Unreadable(const Unreadable&) = delete;
    Unreadable& operator=(const Unreadable&) = delete;

    // False when the path can still be read (the capabilities could not be given
    // up): the test cannot show anything and should be skipped.
    bool effective() const;

private:
    std::string path_;
    mode_t oldMode_ = 0;
    bool capabilitiesDropped_ = false;
    unsigned savedEffective_[2] = {0, 0};
};

// The command line (program first) that runs program without those capabilities
// when the test runs as root ("setpriv" drops them from its bounding set); program
// alone otherwise.
std::vector<std::string> withoutPermissionOverride(const std::string& program);

} // namespace kd::test
