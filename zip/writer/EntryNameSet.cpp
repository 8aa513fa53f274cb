#include "zip/writer/EntryNameSet.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace kd {

std::size_t EntryNameSet::capacityFor(std::size_t count) {
    return std::bit_ceil(std::max<std::size_t>(16, 2 * count));
}

std::uint64_t EntryNameSet::hashOf(std::string_view name) {
    return static_cast<std::uint64_t>(std::hash<std::string_view>{}(name)) | 1;
}

std::size_t EntryNameSet::probe(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.hash == 0 ||
            (slot.hash == hash && std::string_view(text_).substr(slot.offset, slot.length) == name))
            return i;
    }
}

void EntryNameSet::grow(std::size_t capacity) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(capacity, Slot{});
    const std::size_t mask = capacity - 1;
    for (const Slot& slot : old) {
        if (slot.hash == 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].hash != 0)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

void EntryNameSet::Reserve(std::size_t count) {
    // A run that adds no name (nothing changed) does not pay for the room.
    reserved_ = std::max(reserved_, count);
    if (!slots_.empty() && capacityFor(reserved_) > slots_.size())
        grow(capacityFor(reserved_));
}

bool EntryNameSet::Contains(std::string_view name) const {
    return !slots_.empty() && slots_[probe(name, hashOf(name))].hash != 0;
}

bool EntryNameSet::Insert(std::string_view name) {
    if (2 * (size_ + 1) > slots_.size())
        grow(capacityFor(std::max(reserved_, size_ + 1)));
    const std::uint64_t hash = hashOf(name);
    Slot& slot = slots_[probe(name, hash)];
    if (slot.hash != 0)
        return false;
    slot = {hash, text_.size(), name.size()};
    text_.append(name);
    ++size_;
    return true;
}

} // namespace kd
