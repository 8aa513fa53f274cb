#include "app/core/VersionRotation.h"

#include "platform/RenameNoReplace.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {

VersionRotation::VersionRotation(std::string base, int kept)
    : base_(std::move(base)), kept_(kept < 1 ? 1 : kept) {}

std::string VersionRotation::archiveName(int number) const {
    return base_ + std::to_string(number) + ".zip";
}

bool VersionRotation::exists(int number) const {
    struct stat info {};
    // Anything but a plain "no such file" counts as present, so that nothing is
    // written over a name that merely could not be checked.
    return ::lstat(archiveName(number).c_str(), &info) == 0 || errno != ENOENT;
}

std::vector<int> VersionRotation::presentVersions() const {
    std::vector<int> numbers;
    for (int k = 1; k <= kept_; ++k)
        if (exists(k))
            numbers.push_back(k);
    for (int k = kept_ + 1; exists(k); ++k)
        numbers.push_back(k);
    return numbers;
}

bool VersionRotation::move(int from, int to) {
    if (renameNoReplace(archiveName(from), archiveName(to)))
        return true;
    problems_.push_back("Cannot rename " + archiveName(from) + " to " + archiveName(to) + ": " +
                        std::strerror(errno));
    return false;
}

int VersionRotation::prepare() {
    int next = 1;
    for (const int number : presentVersions()) {
        if (number == next || move(number, next))
            ++next;
        else
            next = number + 1; // it stays; the later ones go above it
    }
    newNumber_ = next;
    return newNumber_;
}

int VersionRotation::finish() {
    if (newNumber_ <= kept_)
        return newNumber_;
    if (::unlink(archiveName(1).c_str()) != 0 && errno != ENOENT) {
        problems_.push_back("Cannot delete " + archiveName(1) + ": " + std::strerror(errno));
        return newNumber_;
    }
    for (int number = 2; number <= newNumber_; ++number) {
        if (!exists(number))
            continue;
        if (!move(number, number - 1))
            break;
        if (number == newNumber_)
            --newNumber_;
    }
    return newNumber_;
}

} // namespace kd
