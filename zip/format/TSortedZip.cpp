#include "zip/format/TSortedZip.h"

#include <string_view>

#include "zip/base/DosDateTime.h"
#include "zip/base/ZipFiles.h"

namespace kd {

namespace {

unsigned char foldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

int compareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = foldAscii(static_cast<unsigned char>(a[i])) -
                      foldAscii(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

template <class V> int sign(V a, V b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// b in front of a when its value is larger; never equal, so ties keep their order.
template <class V> int largestFirst(V a, V b) {
    return b > a ? 1 : -1;
}

double dateOf(const TZipHeaderInfo& e) {
    return DosDateTimeToDateTime(e.DosDateTime).value_or(0.0);
}

int rateOf(const TZipHeaderInfo& e) {
    return Percent(e.CompressedSize, e.UncompressedSize);
}

} // namespace

int TSortedZip::Compare(const TZipHeaderInfo& a, const TZipHeaderInfo& b) const {
    switch (sortMode_) {
    case TZipSortMode::ByName:
        return compareText(a.FullName(), b.FullName());
    case TZipSortMode::ByFileName:
        return compareText(a.FileName(), b.FileName());
    case TZipSortMode::ByDirectoryName:
        return compareText(a.Directory(), b.Directory());
    case TZipSortMode::ByDate:
        return largestFirst(dateOf(a), dateOf(b));
    case TZipSortMode::ByCompressedSize:
        return largestFirst(a.CompressedSize, b.CompressedSize);
    case TZipSortMode::ByUnCompressedSize:
        return largestFirst(a.UncompressedSize, b.UncompressedSize);
    case TZipSortMode::ByRate:
        return sign(rateOf(b), rateOf(a));
    case TZipSortMode::ByNone:
        break;
    }
    const int disk = sign(a.DiskStart, b.DiskStart);
    return disk != 0 ? disk : sign(a.LocalOffset, b.LocalOffset);
}

} // namespace kd
