#include "zip/base/TDirSearch.h"

#include "zip/base/WildMatch.h"
#include "zip/base/ZipFiles.h"

namespace kd {

TDirSearch::TDirSearch(std::string dir, bool recurse, std::string mask)
    : mask_(std::move(mask)), recurse_(recurse) {
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    const auto wild = dir.find_first_of(kWildcardChars);
    if (wild != std::string::npos) {
        const auto slash = dir.rfind('/', wild);
        const std::size_t restStart = slash == std::string::npos ? 0 : slash + 1;
        std::string rest = dir.substr(restStart);
        dir.resize(restStart);
        std::size_t start = 0;
        for (std::size_t end; (end = rest.find('/', start)) != std::string::npos; start = end + 1)
            wildParts_.push_back(rest.substr(start, end - start));
    }
    openLevel(std::move(dir));
}

void TDirSearch::openLevel(std::string dir) {
    const std::size_t depth = levels_.size();
    std::string levelMask = depth < wildParts_.size() ? wildParts_[depth] : mask_;
    levels_.emplace_back(std::move(dir), std::move(levelMask));
}

bool TDirSearch::NextFile(TSearchRec& rec) {
    while (!levels_.empty()) {
        TSearchData& level = levels_.back();
        const DirEntry* entry = level.Next();
        if (!entry) {
            levels_.pop_back();
            continue;
        }
        const std::string path = level.Dir() + entry->name;
        if (levels_.size() <= wildParts_.size()) {
            // Still matching the wildcard parts of the start directory.
            if (entry->isDirectory && WildcardMatch(level.Mask(), entry->name))
                openLevel(path + "/");
            continue;
        }
        if (entry->isDirectory) {
            if (!recurse_)
                continue;
            rec = {path + "/", 0, true, entry->modified};
            openLevel(rec.Name);
            return true;
        }
        const bool hasDot = entry->name.find('.') != std::string::npos;
        if (!WildcardMatch(mask_, hasDot ? entry->name : entry->name + "."))
            continue;
        rec = {path, entry->size, false, entry->modified};
        return true;
    }
    return false;
}

} // namespace kd
