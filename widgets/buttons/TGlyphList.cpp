#include "widgets/buttons/TGlyphList.h"

#include "widgets/draw/MaskedDraw.h"

#include <algorithm>

namespace kd {

int TGlyphList::AddMasked(const QImage& image, const QColor& maskColor) {
    QImage copy = ClearMaskColor(image, maskColor);
    const auto freeSlot = std::find(used_.begin(), used_.end(), false);
    const auto index = static_cast<std::size_t>(freeSlot - used_.begin());
    if (freeSlot == used_.end()) {
        slots_.emplace_back();
        used_.push_back(false);
    }
    slots_[index] = std::move(copy);
    used_[index] = true;
    ++count_;
    return static_cast<int>(index);
}

bool TGlyphList::used(int index) const {
    return index >= 0 && index < Capacity() && used_[static_cast<std::size_t>(index)];
}

void TGlyphList::Delete(int index) {
    if (!used(index))
        return;
    used_[static_cast<std::size_t>(index)] = false;
    slots_[static_cast<std::size_t>(index)] = QImage();
    --count_;
}

const QImage& TGlyphList::image(int index) const {
    return slots_.at(static_cast<std::size_t>(index));
}

} // namespace kd
