#include "widgets/pictures/TPicClip.h"

#include <algorithm>

namespace kd {

void TPicClip::setPicture(const TPicture& picture) {
    picture_ = picture;
    maskColor_ = DefaultMaskColor();
    Changed();
}

void TPicClip::setRows(int rows) {
    rows_ = std::max(rows, 1);
}

void TPicClip::setCols(int cols) {
    cols_ = std::max(cols, 1);
}

void TPicClip::setMaskColor(TColor color) {
    if (color == maskColor_)
        return;
    maskColor_ = color;
    Changed();
}

void TPicClip::setWidth(int value) {
    if (value > 0 && picture_.width() / value > 0)
        cols_ = picture_.width() / value;
}

void TPicClip::setHeight(int value) {
    if (value > 0 && picture_.height() / value > 0)
        rows_ = picture_.height() / value;
}

TColor TPicClip::DefaultMaskColor() const {
    if (const KitBitmap* bitmap = picture_.bitmap(); bitmap && !bitmap->empty())
        return ColorFromRGB(bitmap->transparentRGB());
    return clOlive;
}

void TPicClip::CheckIndex(int index) const {
    if (index < 0 || index >= cols_ * rows_)
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const KitBitmap& TPicClip::GetCell(int index) {
    CheckIndex(index);
    CopyBitmapCell(picture_, cell_, cols_, rows_, index);
    cell_.TransparentColor = maskColor_ == clNone ? clNone : (maskColor_ | 0x2000000);
    cell_.Transparent = masked_ && maskColor_ != clNone;
    return cell_;
}

void TPicClip::Assign(const TPicClip& source) {
    rows_ = source.rows_;
    cols_ = source.cols_;
    masked_ = source.masked_;
    picture_ = source.picture_;
    maskColor_ = source.maskColor_;
    Changed();
}

void TPicClip::AssignTo(KitImageList& target) {
    if (IsEmpty())
        return;
    target.beginUpdate();
    target.Clear();
    target.setSize(QSize(Width(), Height()));
    const bool masked = masked_ && maskColor_ != clNone;
    for (int i = 0; i < CellCount(); ++i) {
        const QImage& cell = GetCell(i).image;
        if (masked)
            target.AddMasked(cell, ColorToRGB(maskColor_));
        else
            target.Add(cell);
    }
    target.Masked = masked_;
    target.endUpdate();
}

void TPicClip::Changed() {
    if (OnChange)
        OnChange(*this);
}

} // namespace kd
