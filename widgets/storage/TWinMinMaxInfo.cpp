#include "widgets/storage/TWinMinMaxInfo.h"

#include <algorithm>

namespace kd {

void TWinMinMaxInfo::setValue(Index index, int value) {
    if (values_[index] == value)
        return;
    values_[index] = value;
    if (changed_)
        changed_();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& source) {
    values_ = source.values_;
    if (changed_)
        changed_();
}

bool TWinMinMaxInfo::empty() const {
    return std::all_of(values_.begin(), values_.end(), [](int v) { return v == 0; });
}

} // namespace kd
