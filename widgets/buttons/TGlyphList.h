#pragma once
#include <QColor>
#include <QImage>
#include <QSize>
#include <vector>

namespace kd {

// Images of one size in numbered slots; a freed slot is taken again by the next image.
class TGlyphList {
public:
    explicit TGlyphList(QSize size) : size_(size) {}

    QSize size() const { return size_; }
    // Slots in use.
    int Count() const { return count_; }
    // Slots held, used or free.
    int Capacity() const { return static_cast<int>(slots_.size()); }

    // Stores the image, transparent where it has the mask colour, in the first free
    // slot (a new one when none is free); returns the slot.
    int AddMasked(const QImage& image, const QColor& maskColor);
    // Frees the slot; an unused or unknown slot is left alone.
    void Delete(int index);
    bool used(int index) const;
    // The image of a used slot, with its transparent pixels at alpha 0.
    const QImage& image(int index) const;

private:
    QSize size_;
    std::vector<QImage> slots_;
    std::vector<bool> used_;
    int count_ = 0;
};

} // namespace kd
