#include "app/core/backup/VersionRotation.h"

#include "platform/RenameNoReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {
namespace {

// The single-file forms of a version; its numbered parts come after them.
constexpr std::string_view kWholeFiles[] = {"zip", "exe", "zfc"};
constexpr int kMaxParts = 999;

std::string partExtension(int part) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%03d", part);
    return buffer;
}

} // namespace

VersionRotation::VersionRotation(std::string base, int kept)
    : base_(std::move(base)), kept_(kept < 1 ? 1 : kept) {}

std::string VersionRotation::fileName(int number, std::string_view extension) const {
    return base_ + std::to_string(number) + std::string(extension);
}

bool VersionRotation::present(int number, std::string_view extension) const {
    struct stat info {};
    // Anything but a plain "no such file" counts as present, so that nothing is
    // written over a name that merely could not be checked.
    return ::lstat(fileName(number, "." + std::string(extension)).c_str(), &info) == 0 ||
           errno != ENOENT;
}

std::vector<std::string> VersionRotation::filesOf(int number) const {
    std::vector<std::string> extensions;
    for (const std::string_view whole : kWholeFiles)
        if (present(number, whole))
            extensions.emplace_back(whole);
    for (int part = 1; part <= kMaxParts && present(number, partExtension(part)); ++part)
        extensions.push_back(partExtension(part));
    return extensions;
}

bool VersionRotation::exists(int number) const {
    for (const std::string_view whole : kWholeFiles)
        if (present(number, whole))
            return true;
    return present(number, partExtension(1));
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
    const std::vector<std::string> extensions = filesOf(from);
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        const std::string source = fileName(from, "." + extensions[i]);
        const std::string target = fileName(to, "." + extensions[i]);
        if (renameNoReplace(source, target))
            continue;
        problems_.push_back("Cannot rename " + source + " to " + target + ": " +
                            std::strerror(errno));
        // The files already moved go back, so that the version stays whole.
        while (i-- > 0)
            renameNoReplace(fileName(to, "." + extensions[i]), fileName(from, "." + extensions[i]));
        return false;
    }
    return true;
}

bool VersionRotation::remove(int number) {
    for (const std::string& extension : filesOf(number)) {
        const std::string path = fileName(number, "." + extension);
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            problems_.push_back("Cannot delete " + path + ": " + std::strerror(errno));
            return false;
        }
    }
    return true;
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
    if (!remove(1))
        return newNumber_;
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
