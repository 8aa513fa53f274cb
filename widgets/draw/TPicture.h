#pragma once
#include "widgets/draw/KitBitmap.h"

#include <QIcon>
#include <QPainter>
#include <variant>

namespace kd {

// A picture: empty, a bitmap, or an icon (drawn at its own size).
class TPicture {
public:
    TPicture() = default;
    explicit TPicture(KitBitmap bitmap) : graphic_(std::move(bitmap)) {}
    explicit TPicture(QIcon icon) : graphic_(std::move(icon)) {}

    bool empty() const;
    bool isBitmap() const { return std::holds_alternative<KitBitmap>(graphic_); }
    bool isIcon() const { return std::holds_alternative<QIcon>(graphic_); }
    const KitBitmap* bitmap() const { return std::get_if<KitBitmap>(&graphic_); }
    const QIcon* icon() const { return std::get_if<QIcon>(&graphic_); }
    int width() const;
    int height() const;
    // Draws the picture with its top-left corner at the point; a transparent bitmap
    // leaves the canvas where it has its transparent colour.
    void draw(QPainter& canvas, QPoint at) const;

private:
    std::variant<std::monostate, KitBitmap, QIcon> graphic_;
};

// Copies cell index of a grid of cols × rows cells (numbered row by row) into target,
// which takes the cell's size. A bitmap's cell is copied with its transparency; any
// other picture is drawn shifted onto light grey. Nothing when either is missing.
void CopyBitmapCell(const TPicture& source, KitBitmap& target, int cols, int rows, int index);

} // namespace kd
