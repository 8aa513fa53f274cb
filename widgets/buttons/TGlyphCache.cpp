#include "widgets/buttons/TGlyphCache.h"

#include <algorithm>

namespace kd {

namespace {

struct CacheHolder {
    std::unique_ptr<TGlyphCache> cache;
    int users = 0;
};

CacheHolder& holder() {
    static CacheHolder instance;
    return instance;
}

} // namespace

TGlyphList& TGlyphCache::GetList(QSize size) {
    for (const auto& list : lists_)
        if (list->size() == size)
            return *list;
    lists_.push_back(std::make_unique<TGlyphList>(size));
    return *lists_.back();
}

void TGlyphCache::ReturnList(TGlyphList& list) {
    if (list.Count() > 0)
        return;
    std::erase_if(lists_, [&list](const auto& held) { return held.get() == &list; });
}

TGlyphCache* TGlyphCache::Current() {
    return holder().cache.get();
}

TGlyphCache& TGlyphCache::Acquire() {
    CacheHolder& h = holder();
    if (!h.cache)
        h.cache = std::make_unique<TGlyphCache>();
    ++h.users;
    return *h.cache;
}

void TGlyphCache::Release() {
    CacheHolder& h = holder();
    if (h.users > 0)
        --h.users;
    if (h.users == 0 && h.cache && h.cache->Empty())
        h.cache.reset();
}

} // namespace kd
