#pragma once
#include "platform/Exception.h"
#include "widgets/draw/KitImageList.h"
#include "widgets/draw/TPicture.h"

#include <functional>

namespace kd {

// An index outside a list's bounds.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// One picture cut into a grid of Cols × Rows equal cells, numbered row by row; hands
// out any cell as a bitmap.
class TPicClip {
public:
    TPicClip() = default;

    const TPicture& Picture() const { return picture_; }
    void setPicture(const TPicture& picture);
    int Rows() const { return rows_; }
    void setRows(int rows);
    int Cols() const { return cols_; }
    void setCols(int cols);
    TColor MaskColor() const { return maskColor_; }
    void setMaskColor(TColor color);
    bool Masked() const { return masked_; }
    void setMasked(bool masked) { masked_ = masked; }

    // The cell size: picture width div Cols, height div Rows.
    int Width() const { return picture_.width() / cols_; }
    int Height() const { return picture_.height() / rows_; }
    // Picks Cols (Rows) so that cells are value pixels wide (high), when at least one fits.
    void setWidth(int value);
    void setHeight(int value);

    bool IsEmpty() const { return picture_.empty(); }
    int CellCount() const { return IsEmpty() ? 0 : cols_ * rows_; }
    // The bitmap's own transparent colour, else olive.
    TColor DefaultMaskColor() const;

    // Cell index as a bitmap owned by this object, valid until the next call.
    // Throws EListError for an index outside the grid.
    const KitBitmap& GetCell(int index);

    void Assign(const TPicClip& source);
    void Assign(const TPicture& source) { setPicture(source); }
    // The whole picture.
    void AssignTo(TPicture& target) const { target = picture_; }
    // Every cell in order, as one change of the list.
    void AssignTo(KitImageList& target);

    std::function<void(TPicClip&)> OnChange;

private:
    void CheckIndex(int index) const;
    void Changed();

    TPicture picture_;
    KitBitmap cell_;
    int rows_ = 1;
    int cols_ = 1;
    TColor maskColor_ = clOlive;
    bool masked_ = true;
};

} // namespace kd
