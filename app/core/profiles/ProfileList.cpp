#include "app/core/profiles/ProfileList.h"

#include "app/core/profiles/ProfileListTexts.h"
#include "app/core/profiles/ProfileName.h"

#include <algorithm>
#include <numeric>

namespace kd {

int ProfileList::rowOf(const TObjektZal* record) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].record.get() == record)
            return static_cast<int>(i);
    return -1;
}

int ProfileList::findByName(const std::string& name) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (sameProfileName(rows_[i].record->Name, name))
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> ProfileList::namesExcept(int except) const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (static_cast<int>(i) != except)
            names.push_back(rows_[i].record->Name);
    return names;
}

int ProfileList::add(std::unique_ptr<TObjektZal> record, const LastRun& lastRun) {
    Texts texts = profileListTexts(*record, lastRun.date, lastRun.time);
    const int row = count();
    if (observer_)
        observer_->beforeInsert(row);
    rows_.push_back({std::move(record), std::move(texts)});
    if (observer_)
        observer_->afterInsert();
    return sortedPlace(row);
}

void ProfileList::remove(int row) {
    if (row < 0 || row >= count())
        return;
    if (observer_)
        observer_->beforeRemove(row);
    rows_.erase(rows_.begin() + row);
    if (observer_)
        observer_->afterRemove();
}

int ProfileList::LoadProfileItem(int row, const std::string& dir, const std::string& name,
                                 const LastRunReader& readLastRun) {
    TObjektZal& target = record(row);
    LoadProfile(target, dir, name);
    refreshTexts(row, readLastRun ? readLastRun(target.Name) : LastRun{});
    return sortedPlace(row);
}

void ProfileList::refreshTexts(int row, const LastRun& lastRun) {
    Row& r = rows_.at(static_cast<std::size_t>(row));
    r.texts = profileListTexts(*r.record, lastRun.date, lastRun.time);
    if (observer_)
        observer_->rowChanged(row);
}

void ProfileList::sortBy(int column) {
    sortColumn_ = std::clamp(column, 0, 7);
    sort();
}

int ProfileList::sortedPlace(int row) {
    const TObjektZal* moved = rows_.at(static_cast<std::size_t>(row)).record.get();
    sort();
    return rowOf(moved);
}

void ProfileList::sort() {
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const auto column = static_cast<std::size_t>(sortColumn_);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compareProfileListTexts(rows_[static_cast<std::size_t>(a)].texts[column],
                                       rows_[static_cast<std::size_t>(b)].texts[column]) < 0;
    });
    if (std::is_sorted(order.begin(), order.end()))
        return;
    if (observer_)
        observer_->beforeReorder();
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newRowOf(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    if (observer_)
        observer_->afterReorder(newRowOf);
}

} // namespace kd
