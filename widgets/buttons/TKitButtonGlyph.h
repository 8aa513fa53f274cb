#pragma once
#include <QColor>
#include <QImage>
#include <QPalette>
#include <array>
#include <functional>

namespace kd {

class TGlyphList;

// Drawing states of a button, in this order.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
inline constexpr int kButtonStates = 5;

// A button's glyph: a strip of up to five state images, each built when first needed
// and kept in the process's shared image list of its size until the glyph changes.
class TKitButtonGlyph {
public:
    TKitButtonGlyph();
    ~TKitButtonGlyph();
    TKitButtonGlyph(const TKitButtonGlyph&) = delete;
    TKitButtonGlyph& operator=(const TKitButtonGlyph&) = delete;

    const QImage& Glyph() const { return glyph_; }
    // Takes a new strip: an image as wide as a whole multiple (up to 5) of its height
    // holds that many states. Pixels of the transparent colour (the bottom-left pixel;
    // magenta for an image with an alpha channel) are not drawn.
    void setGlyph(const QImage& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 5; larger values become 5, 0 is ignored.
    void setNumGlyphs(int count);
    QColor TransparentColor() const { return transparent_; }
    // Size of one state image; empty without a glyph.
    QSize GlyphSize() const;

    // The image drawn for the state, built now when missing; null without a glyph.
    QImage image(TButtonState state, const QPalette& palette);
    // Slot of the state's image in the shared list, -1 while not built.
    int index(TButtonState state) const { return indexes_[static_cast<std::size_t>(state)]; }
    // Frees every built image (they are rebuilt on demand, e.g. after a colour change).
    void Invalidate();

    // Called after the glyph changed, so that its button repaints.
    std::function<void()> OnChange;

private:
    int build(TButtonState state, const QPalette& palette);
    void changed();

    QImage glyph_;
    QColor transparent_{0xFF, 0x00, 0xFF};
    int numGlyphs_ = 1;
    std::array<int, kButtonStates> indexes_;
    TGlyphList* list_ = nullptr;
};

} // namespace kd
