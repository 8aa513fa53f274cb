#include "zip/support/KillTestSupport.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "platform/TempFileBeside.h"
#include "zip/support/ZipWriterTestSupport.h"

namespace kd::test {

bool killedAtHalt(const std::function<void(const std::function<void()>& halt)>& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::close(channel[0]);
        const auto halt = [&] {
            const char reached = 'h';
            if (::write(channel[1], &reached, 1) == 1)
                for (;;)
                    ::pause();
            ::_exit(2);
        };
        try {
            work(halt);
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0); // never back into the test framework
    }
    ::close(channel[1]);
    char reached = 0;
    ssize_t n = 0;
    do
        n = ::read(channel[0], &reached, 1);
    while (n < 0 && errno == EINTR);
    ::close(channel[0]);
    if (n == 1)
        ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return n == 1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

std::map<std::string, std::string> directoryContents(const std::string& dir) {
    std::map<std::string, std::string> contents;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        const std::string name = item.path().filename().string();
        contents[name] = item.is_directory() ? "<dir>" : fileBytes(item.path().string());
    }
    return contents;
}

std::map<std::string, std::string> withoutTempFiles(std::map<std::string, std::string> files) {
    std::erase_if(files,
                  [](const auto& file) { return TempFileBeside::IsTempFileName(file.first); });
    return files;
}

std::string noise(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

bool hasUnnamedFiles(const std::string& dir) {
    return !TempFileBeside(dir + "/probe", 0600).Named();
}

} // namespace kd::test
