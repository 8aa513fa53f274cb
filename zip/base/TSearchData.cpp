#include "zip/base/TSearchData.h"

namespace kd {

TSearchData::TSearchData(std::string dir, std::string mask)
    : dir_(std::move(dir)), mask_(std::move(mask)), entries_(listDirectory(dir_)) {}

const DirEntry* TSearchData::Next() {
    return next_ < entries_.size() ? &entries_[next_++] : nullptr;
}

} // namespace kd
