#include "zip/base/TDirSearch.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "zip/base/WildMatch.h"
#include "zip/base/ZipFiles.h"

namespace kd {

namespace {

// A directory that is not there (any more) holds nothing to miss.
bool vanished(int error) {
    return error == ENOENT || error == ENOTDIR;
}

TSearchRec unreadable(std::string name, bool directory, std::time_t modified, int error) {
    return {std::move(name), 0, directory, modified, TSearchProblem::Unreadable, error, {}, 0};
}

// How many directories the listing threads of a recursive search list ahead of it.
constexpr std::size_t kListedAhead = 64;

// One listing thread per core beside the search's own: listing is most of the work
// before anything is compressed, and the cores have nothing else to do yet.
int listingThreads() {
    return std::max(1, ThreadPool::Cores() - 1);
}

} // namespace

TDirSearch::TDirSearch(std::string dir, bool recurse, std::string mask)
    : mask_(std::move(mask)), recurse_(recurse) {
    if (recurse_) {
        try {
            ahead_ = std::make_unique<ListingAhead>(listingThreads(), kListedAhead);
        } catch (const std::system_error&) {
            // No threads to be had: the search lists every directory itself.
        }
    }
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
    if (const int error = openLevel(dir); error && !vanished(error))
        pending_ = unreadable(dir.empty() ? "./" : dir, true, 0, error);
}

int TDirSearch::openLevel(std::string dir) {
    const std::size_t depth = levels_.size();
    std::string levelMask = depth < wildParts_.size() ? wildParts_[depth] : mask_;
    // The search enters every subdirectory of a level that matches files; a level of
    // the wildcard parts only those that match.
    DirListing listing =
        ahead_ ? ahead_->Take(dir, depth >= wildParts_.size()) : listDirectory(dir);
    levels_.emplace_back(std::move(dir), std::move(levelMask), std::move(listing));
    const int error = levels_.back().Error();
    // A directory that failed part-way is searched as far as it could be read, and
    // reported all the same.
    if (error && levels_.back().EmptyDirectory())
        levels_.pop_back();
    return error;
}

bool TDirSearch::enter(const std::string& dir, std::time_t modified, TSearchRec& rec) {
    const int error = openLevel(dir);
    if (error == 0)
        return true;
    if (vanished(error))
        return false;
    rec = unreadable(dir, true, modified, error);
    return true;
}

bool TDirSearch::matchesMask(const std::string& name) const {
    // Every name matches these, a name without a "." too once it has one appended.
    if (mask_ == "*" || mask_ == "*.*")
        return true;
    const bool hasDot = name.find('.') != std::string::npos;
    return WildcardMatch(mask_, hasDot ? name : name + ".");
}

bool TDirSearch::NextFile(TSearchRec& rec) {
    if (pending_) {
        rec = std::move(*pending_);
        pending_.reset();
        return true;
    }
    while (!levels_.empty()) {
        TSearchData& level = levels_.back();
        const DirEntry* entry = level.Next();
        if (!entry) {
            levels_.pop_back();
            continue;
        }
        const bool unreadableEntry = entry->kind == DirEntryKind::Unreadable;
        if (levels_.size() <= wildParts_.size()) {
            // Still matching the wildcard parts of the start directory: only
            // directories matter, and one that cannot be listed is reported.
            if (!entry->isDirectory || !WildcardMatch(level.Mask(), entry->name))
                continue;
            std::string path = level.Dir() + entry->name + "/";
            if (unreadableEntry) {
                rec = unreadable(std::move(path), true, 0, entry->error);
                return true;
            }
            rec = {};
            if (enter(path, entry->modified, rec) && rec.Problem != TSearchProblem::None)
                return true;
            continue;
        }
        if (entry->isDirectory) {
            if (!recurse_)
                continue;
            std::string path = level.Dir() + entry->name + "/";
            if (unreadableEntry) {
                rec = unreadable(std::move(path), true, 0, entry->error);
                return true;
            }
            rec = {std::move(path), 0, true, entry->modified, TSearchProblem::None, 0, {}, 0};
            if (enter(rec.Name, entry->modified, rec))
                return true;
            continue;
        }
        if (!matchesMask(entry->name))
            continue;
        if (unreadableEntry) {
            rec = unreadable(level.Dir() + entry->name, false, 0, entry->error);
            return true;
        }
        // The one name made per file goes into the record's own buffer.
        rec.Name.assign(level.Dir()).append(entry->name);
        rec.Size = entry->size;
        rec.IsDirectory = false;
        rec.Modified = entry->modified;
        rec.Problem =
            entry->kind == DirEntryKind::Special ? TSearchProblem::Special : TSearchProblem::None;
        rec.Error = 0;
        rec.Stamp = entry->stamp;
        rec.Mode = entry->mode;
        return true;
    }
    return false;
}

} // namespace kd
