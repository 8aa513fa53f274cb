#include "widgets/buttons/TKitButtonGlyph.h"

#include "widgets/buttons/TGlyphCache.h"
#include "widgets/draw/Emboss.h"
#include "widgets/draw/KitColor.h"

#include <QPainter>

namespace kd {

namespace {

constexpr int kMaxGlyphs = 5;
const QColor kMagenta(0xFF, 0x00, 0xFF);

// Every pixel in grey of its brightness, except the transparent and button-face ones.
QImage grayed(const QImage& source, QRgb transparent, QRgb face) {
    QImage result = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x] & RGB_MASK;
            if (pixel == transparent || pixel == face)
                continue;
            const int grey = (77 * qRed(pixel) + 150 * qGreen(pixel) + 29 * qBlue(pixel)) / 256;
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return result;
}

} // namespace

TKitButtonGlyph::TKitButtonGlyph() {
    indexes_.fill(-1);
    TGlyphCache::Acquire();
}

TKitButtonGlyph::~TKitButtonGlyph() {
    OnChange = nullptr;
    Invalidate();
    TGlyphCache::Release();
}

QSize TKitButtonGlyph::GlyphSize() const {
    if (glyph_.isNull())
        return {};
    return {glyph_.width() / numGlyphs_, glyph_.height()};
}

void TKitButtonGlyph::setGlyph(const QImage& glyph) {
    Invalidate();
    if (glyph.hasAlphaChannel()) {
        // Transparent pixels become the magenta key of the state images.
        glyph_ = QImage(glyph.size(), QImage::Format_RGB32);
        glyph_.fill(kMagenta);
        QPainter painter(&glyph_);
        painter.drawImage(0, 0, glyph);
        painter.end();
        transparent_ = kMagenta;
    } else {
        glyph_ = glyph.convertToFormat(QImage::Format_RGB32);
        if (!glyph_.isNull())
            transparent_ = QColor::fromRgb(glyph_.pixel(0, glyph_.height() - 1));
    }
    if (glyph_.height() > 0 && glyph_.width() % glyph_.height() == 0) {
        const int count = glyph_.width() / glyph_.height();
        numGlyphs_ = count > kMaxGlyphs ? 1 : count;
    }
    changed();
}

void TKitButtonGlyph::setNumGlyphs(int count) {
    count = std::min(count, kMaxGlyphs);
    if (count <= 0 || count == numGlyphs_)
        return;
    Invalidate();
    numGlyphs_ = count;
    changed();
}

void TKitButtonGlyph::Invalidate() {
    TGlyphCache* cache = TGlyphCache::Current();
    if (list_) {
        for (int& index : indexes_)
            list_->Delete(index);
        if (cache)
            cache->ReturnList(*list_);
        list_ = nullptr;
    }
    indexes_.fill(-1);
}

QImage TKitButtonGlyph::image(TButtonState state, const QPalette& palette) {
    const int index = build(state, palette);
    return index < 0 ? QImage() : list_->image(index);
}

int TKitButtonGlyph::build(TButtonState state, const QPalette& palette) {
    if (state == TButtonState::bsDown && numGlyphs_ < 3)
        state = TButtonState::bsUp;
    const auto slot = static_cast<std::size_t>(state);
    if (indexes_[slot] >= 0)
        return indexes_[slot];
    if (glyph_.isNull() || GlyphSize().width() <= 0)
        return -1;
    const QSize size = GlyphSize();
    if (!list_)
        list_ = &TGlyphCache::Current()->GetList(size); // held since construction
    const int stateNumber = static_cast<int>(state);
    const int k = stateNumber < numGlyphs_ ? stateNumber : 0;
    const QImage source = glyph_.copy(k * size.width(), 0, size.width(), size.height());
    const QColor face = ColorToRGB(clBtnFace, palette);
    if (state == TButtonState::bsDisabled && numGlyphs_ < 2)
        indexes_[slot] = list_->AddMasked(CreateGrayedBitmap(source, transparent_, palette), face);
    else if (state == TButtonState::bsInactive && numGlyphs_ < 5)
        indexes_[slot] = list_->AddMasked(
            grayed(source, transparent_.rgb() & RGB_MASK, face.rgb() & RGB_MASK), transparent_);
    else
        indexes_[slot] = list_->AddMasked(source, transparent_);
    return indexes_[slot];
}

void TKitButtonGlyph::changed() {
    if (OnChange)
        OnChange();
}

} // namespace kd
