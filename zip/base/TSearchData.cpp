#include "zip/base/TSearchData.h"

#include <algorithm>

namespace kd {

TSearchData::TSearchData(std::string dir, std::string mask, DirListing listing)
    : dir_(std::move(dir)), mask_(std::move(mask)), listing_(std::move(listing)) {}

const DirEntry* TSearchData::Next() {
    return next_ < listing_.entries.size() ? &listing_.entries[next_++] : nullptr;
}

void TSearchData::AskAhead(const std::function<bool(const std::string&)>& ask) {
    for (asked_ = std::max(asked_, next_); asked_ < listing_.entries.size(); ++asked_) {
        const DirEntry& entry = listing_.entries[asked_];
        if (entry.isDirectory && entry.kind != DirEntryKind::Unreadable &&
            !ask(dir_ + entry.name + "/"))
            return;
    }
}

} // namespace kd
