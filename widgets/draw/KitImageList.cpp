#include "widgets/draw/KitImageList.h"

#include "widgets/draw/MaskedDraw.h"

namespace kd {

void KitImageList::setSize(QSize size) {
    if (size == size_)
        return;
    size_ = size;
    images_.clear();
    change();
}

int KitImageList::Add(const QImage& image) {
    images_.push_back(image.convertToFormat(QImage::Format_ARGB32));
    change();
    return Count() - 1;
}

int KitImageList::AddMasked(const QImage& image, const QColor& maskColor) {
    QImage copy = ClearMaskColor(image, maskColor);
    images_.push_back(std::move(copy));
    change();
    return Count() - 1;
}

void KitImageList::Clear() {
    images_.clear();
    change();
}

void KitImageList::endUpdate() {
    if (updating_ > 0 && --updating_ == 0 && pending_) {
        pending_ = false;
        emit changed();
    }
}

void KitImageList::change() {
    if (updating_ > 0)
        pending_ = true;
    else
        emit changed();
}

} // namespace kd
