#include "app/core/backup/RemovableWipe.h"

#include "lang/Translations.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {
namespace {

namespace fs = std::filesystem;

std::string normalised(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path), ec);
    if (ec)
        p = fs::absolute(path).lexically_normal();
    std::string text = p.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// Deletes the files below dir (on device), depth first; errors are ignored.
void deleteFilesBelow(const std::string& dir, dev_t device) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string path = it->path().string();
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            if (info.st_dev == device)
                deleteFilesBelow(path, device);
        } else {
            ::unlink(path.c_str());
        }
    }
}

} // namespace

std::string wipeRefusedText(std::string_view languageCode) {
    static constexpr Translations kText{
        "Disk nebude smazán: obsahuje systém, program nebo zdrojový adresář: ",
        "The disk will not be wiped: it holds the system, the program or the source "
        "directory: ",
        "Disk nebude zmazaný: obsahuje systém, program alebo zdrojový adresár: "};
    return kText.in(languageCode);
}

bool isInsideDirectory(const std::string& path, const std::string& dir) {
    const std::string p = normalised(path);
    const std::string d = normalised(dir);
    if (d == "/")
        return true;
    return p == d || (p.size() > d.size() && p.compare(0, d.size(), d) == 0 && p[d.size()] == '/');
}

WipeResult WipeRemovableDisk(const VolumeService& volumes, const std::string& targetDir,
                             const WipeGuards& guards, std::string& mediumRoot) {
    const auto volume = volumes.volumeOf(targetDir);
    mediumRoot = volume ? volume->mountPoint : std::string();
    if (!volume || !volume->removable)
        return WipeResult::NotRemovable;
    if (normalised(mediumRoot) == "/" ||
        (!guards.programDirectory.empty() &&
         isInsideDirectory(guards.programDirectory, mediumRoot)) ||
        (!guards.sourceDirectory.empty() && isInsideDirectory(guards.sourceDirectory, mediumRoot)))
        return WipeResult::Refused;
    struct stat root {};
    if (::lstat(mediumRoot.c_str(), &root) != 0 || !S_ISDIR(root.st_mode))
        return WipeResult::Wiped; // not mounted: nothing to delete
    deleteFilesBelow(mediumRoot, root.st_dev);
    return WipeResult::Wiped;
}

} // namespace kd
