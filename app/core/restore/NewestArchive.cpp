#include "app/core/restore/NewestArchive.h"

#include <cctype>
#include <filesystem>
#include <vector>

namespace kd {
namespace {

namespace fs = std::filesystem;

std::optional<fs::file_time_type> writtenAt(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    const auto time = fs::last_write_time(path, ec);
    if (ec)
        return std::nullopt;
    return time;
}

std::string partName(const std::string& base, int part) {
    std::string number = std::to_string(part);
    return base + "." + std::string(3 - std::min<std::size_t>(3, number.size()), '0') + number;
}

struct Found {
    NewestArchive archive;
    fs::file_time_type written;
};

// The archive of one base: B.zip, the self-extracting B.exe, or the last of the
// parts B.001, B.002, ...
std::optional<Found> archiveOf(const std::string& base, int version) {
    std::optional<Found> best;
    for (const char* extension : {".zip", ".exe"}) {
        const auto time = writtenAt(base + extension);
        if (time && (!best || *time > best->written))
            best = Found{{base + extension, version, false}, *time};
    }
    int last = 0;
    while (last < 999 && writtenAt(partName(base, last + 1)))
        ++last;
    if (last > 0) {
        const std::string path = partName(base, last);
        const auto time = writtenAt(path);
        if (time && (!best || *time > best->written))
            best = Found{{path, version, true}, *time};
    }
    return best;
}

bool allDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// "_y_m_d_h_m_s": the suffix of a run named with its start.
bool isRunDateSuffix(std::string_view suffix) {
    int fields = 0;
    while (!suffix.empty()) {
        if (suffix.front() != '_')
            return false;
        suffix.remove_prefix(1);
        const std::size_t end = std::min(suffix.find('_'), suffix.size());
        if (!allDigits(suffix.substr(0, end)))
            return false;
        suffix.remove_prefix(end);
        ++fields;
    }
    return fields == 6;
}

void keepNewer(std::optional<Found>& best, std::optional<Found> candidate) {
    if (candidate && (!best || candidate->written > best->written))
        best = std::move(candidate);
}

// The most recently written archive of the profile in the directory: the unnumbered
// one, one named with its run's start, or (withNumbers) a numbered one.
std::optional<Found> mostRecentArchive(const std::string& directory, const std::string& name,
                                       bool withNumbers) {
    std::optional<Found> best = archiveOf(directory + name, 0);
    std::error_code ec;
    for (fs::directory_iterator it(directory.empty() ? "." : directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string file = it->path().filename().string();
        const std::size_t dot = file.rfind('.');
        if (dot == std::string::npos || dot < name.size() || !file.starts_with(name))
            continue;
        const std::string_view extension = std::string_view(file).substr(dot + 1);
        if (extension != "zip" && extension != "exe" &&
            !(extension.size() == 3 && allDigits(extension)))
            continue;
        const std::string suffix = file.substr(name.size(), dot - name.size());
        if (withNumbers && allDigits(suffix) && suffix.size() < 6)
            keepNewer(best, archiveOf(directory + name + suffix, std::stoi(suffix)));
        else if (isRunDateSuffix(suffix))
            keepNewer(best, archiveOf(directory + name + suffix, 0));
    }
    return best;
}

} // namespace

std::optional<NewestArchive> findNewestArchive(const TObjektZal& profile) {
    std::string directory = profile.TargetDir;
    if (!directory.empty() && !directory.ends_with('/'))
        directory += '/';
    const std::string base = directory + profile.Name;

    // The rotation's rule: the last of the versions 1, 2, ... without a gap.
    if (profile.VersionsKept > 0) {
        std::optional<Found> numbered;
        for (int k = 1; auto found = archiveOf(base + std::to_string(k), k); ++k)
            numbered = std::move(found);
        if (numbered)
            return numbered->archive;
    }
    // Without versions a numbered name may well be another profile's ("Data2" beside
    // "Data"), so it is not taken.
    if (auto found = mostRecentArchive(directory, profile.Name, profile.VersionsKept > 0))
        return found->archive;
    return std::nullopt;
}

} // namespace kd
