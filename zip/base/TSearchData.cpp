#include "zip/base/TSearchData.h"

namespace kd {

TSearchData::TSearchData(std::string dir, std::string mask)
    : dir_(std::move(dir)), mask_(std::move(mask)), listing_(listDirectory(dir_)) {}

const DirEntry* TSearchData::Next() {
    return next_ < listing_.entries.size() ? &listing_.entries[next_++] : nullptr;
}

} // namespace kd
