#pragma once
#include "widgets/buttons/TGlyphList.h"

#include <QSize>
#include <memory>
#include <vector>

namespace kd {

// The glyph image lists of the process, one per image size, shared by every button.
// The cache exists while it has users (the glyph objects) or lists.
class TGlyphCache {
public:
    // The list for images of the size, made when missing.
    TGlyphList& GetList(QSize size);
    // Removes and frees the list when it holds no image any more.
    void ReturnList(TGlyphList& list);
    int ListCount() const { return static_cast<int>(lists_.size()); }
    bool Empty() const { return lists_.empty(); }

    // The process's cache, or null when none exists now.
    static TGlyphCache* Current();
    // A user of the cache starts or stops; the last one to stop releases it once it
    // holds no list.
    static TGlyphCache& Acquire();
    static void Release();

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

} // namespace kd
