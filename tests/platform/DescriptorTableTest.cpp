// The table of open files, grown once at start-up.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/DescriptorTable.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

int openDescriptors() {
    return static_cast<int>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
}

// The size of the process's table of open files, as the kernel reports it.
int descriptorTableSize() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("FDSize:", 0) == 0)
            return std::stoi(line.substr(7));
    return 0;
}

} // namespace

TEST(DescriptorTable, IsGrownOnceAndLeavesNothingOpen) {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int before = openDescriptors();
    ReserveDescriptorTable();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_GE(descriptorTableSize(), static_cast<int>(std::min<rlim_t>(4096, limit.rlim_max)));
}

} // namespace kd
