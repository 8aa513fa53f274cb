#include "zip/base/TSearchData.h"

#include <algorithm>

namespace kd {

TSearchData::TSearchData(std::string dir, std::string mask, DirListing listing)
    : dir_(std::move(dir)), mask_(std::move(mask)), listing_(std::move(listing)) {}

const DirEntry* TSearchData::Next() {
    return next_ < listing_.entries.size() ? &listing_.entries[next_++] : nullptr;
}

} // namespace kd
