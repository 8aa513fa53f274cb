#include "widgets/hooks/THookList.h"

#include "widgets/hooks/TControlHook.h"

#include <algorithm>

namespace kd {
namespace {

struct ListHolder {
    std::unique_ptr<THookList> list;
    bool ended = false;
    ~ListHolder() {
        list.reset();
        ended = true;
    }
};

ListHolder& holder() {
    static ListHolder h;
    return h;
}

} // namespace

THookList& THookList::instance() {
    ListHolder& h = holder();
    if (!h.list)
        h.list.reset(new THookList);
    return *h.list;
}

bool THookList::exists() {
    return holder().list != nullptr;
}

THookList::~THookList() {
    // Each record detaches its hooks as it goes.
    while (!records_.empty()) {
        std::unique_ptr<TControlHook> record = std::move(records_.back());
        records_.pop_back();
        record->releaseAll();
    }
    freedWhileBusy_.clear();
}

TControlHook& THookList::recordFor(QWidget& control) {
    for (const auto& record : records_)
        if (record->WinControl() == &control)
            return *record;
    records_.push_back(std::make_unique<TControlHook>(nextSerial_++));
    TControlHook& record = *records_.back();
    record.SetWinControl(&control);
    return record;
}

bool THookList::contains(const TControlHook* record) const {
    return std::any_of(records_.begin(), records_.end(),
                       [record](const auto& r) { return r.get() == record; });
}

void THookList::postRelease(TControlHook& record) {
    // The serial, not the address, names the record: a freed record's address may be
    // taken by a new one before the posted call runs.
    const std::uint64_t serial = record.serial();
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            const auto it = std::find_if(records_.begin(), records_.end(),
                                         [serial](const auto& r) { return r->serial() == serial; });
            if (it != records_.end() && (*it)->hooks().empty())
                free(**it);
        },
        Qt::QueuedConnection);
}

void THookList::free(TControlHook& record) {
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [&record](const auto& r) { return r.get() == &record; });
    if (it == records_.end())
        return;
    std::unique_ptr<TControlHook> owned = std::move(*it);
    records_.erase(it);
    owned->releaseAll();
    if (deliveryDepth_ > 0)
        freedWhileBusy_.push_back(std::move(owned));
}

void THookList::leaveDelivery() {
    if (--deliveryDepth_ == 0)
        freedWhileBusy_.clear();
}

} // namespace kd
