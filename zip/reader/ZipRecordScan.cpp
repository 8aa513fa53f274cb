#include "zip/reader/ZipRecordScan.h"

#include "zip/format/RecordSignatures.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

constexpr std::size_t kScanBytes = 1 << 20; // read at once by the scan; a drain after each
constexpr std::size_t kBehind = 16;         // kept in front of the scan for descriptors
constexpr std::size_t kLookBytes = 4096;
constexpr std::uint32_t kDescriptorSignature = 0x08074B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;

bool isLocal(std::uint32_t signature) {
    return signature == Signatures().Local;
}

// A local or central header or the end record.
bool isHeaderOrEnd(std::uint32_t signature) {
    const RecordSignatures& s = Signatures();
    return signature == s.Local || signature == s.Central || signature == s.End;
}

} // namespace

ZipRecordScan::ZipRecordScan(Stream& stream, std::function<void()> pump)
    : stream_(stream), pump_(std::move(pump)), size_(stream.Size()) {
    const RecordSignatures& s = Signatures();
    for (const std::uint32_t signature :
         {s.Local, s.Central, s.End, kDescriptorSignature, kZip64EndSignature})
        firstBytes_[signature & 0xFF] = true;
}

void ZipRecordScan::fill(Window& window, std::int64_t start, std::size_t size) {
    window.bytes.resize(size);
    stream_.Seek(start, SeekOrigin::Begin);
    std::size_t got = 0;
    while (got < size) {
        const std::size_t n = stream_.Read(window.bytes.data() + got, size - got);
        if (n == 0)
            break;
        got += n;
    }
    window.bytes.resize(got);
    window.start = start;
}

const std::uint8_t* ZipRecordScan::bytesAt(std::int64_t position, std::size_t count,
                                           std::size_t& got) {
    got = 0;
    if (position < 0 || position >= size_)
        return nullptr;
    const auto available = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - position));
    for (Window* w : {&scanWindow_, &lookWindow_})
        if (w->start >= 0 && position >= w->start &&
            position + static_cast<std::int64_t>(available) <=
                w->start + static_cast<std::int64_t>(w->bytes.size())) {
            got = available;
            return w->bytes.data() + (position - w->start);
        }
    fill(lookWindow_, position, std::max(count, kLookBytes));
    got = std::min(count, lookWindow_.bytes.size());
    return lookWindow_.bytes.data();
}

std::optional<std::int64_t>
ZipRecordScan::scan(std::int64_t from,
                    const std::function<bool(std::int64_t, std::uint32_t)>& accept) {
    std::int64_t position = from;
    for (;;) {
        const std::int64_t start = std::max<std::int64_t>(0, position - kBehind);
        fill(scanWindow_, start, kScanBytes);
        const std::size_t skip = static_cast<std::size_t>(position - start);
        if (scanWindow_.bytes.size() < skip + 4)
            return std::nullopt;
        const std::uint8_t* p = scanWindow_.bytes.data() + skip;
        const std::size_t count = scanWindow_.bytes.size() - skip;
        for (std::size_t i = 0; i + 3 < count; ++i)
            if (firstBytes_[p[i]] &&
                accept(position + static_cast<std::int64_t>(i), GetLE32(&p[i])))
                return position + static_cast<std::int64_t>(i);
        position += static_cast<std::int64_t>(count - 3);
        pump_();
    }
}

bool ZipRecordScan::recordOrEndAt(std::int64_t position) {
    if (position == size_)
        return true;
    std::size_t got = 0;
    const std::uint8_t* sig = bytesAt(position, 4, got);
    if (got < 4)
        return false;
    const std::uint32_t signature = GetLE32(sig);
    return isHeaderOrEnd(signature) || signature == kDescriptorSignature ||
           signature == kZip64EndSignature;
}

bool ZipRecordScan::plausibleFirstHeader(std::int64_t position) {
    std::size_t got = 0;
    const std::uint8_t* h = bytesAt(position, kLocalHeaderFixed, got);
    if (got < 6 || h[5] >= 10)
        return false;
    if (position == 0)
        return true;
    if (got < kLocalHeaderFixed || GetLE16(&h[26]) == 0)
        return false;
    const bool descriptor = GetLE16(&h[6]) & kFlagDataDescriptor;
    const std::uint32_t compressed = GetLE32(&h[18]);
    if (descriptor && compressed == 0)
        return true; // the sizes follow the data; the descriptor search checks them
    const std::int64_t dataEnd = position + static_cast<std::int64_t>(kLocalHeaderFixed) +
                                 GetLE16(&h[26]) + GetLE16(&h[28]) + compressed;
    return recordOrEndAt(dataEnd) || (descriptor && recordOrEndAt(dataEnd + 12));
}

std::optional<std::int64_t> ZipRecordScan::FirstLocalHeader() {
    return scan(0, [this](std::int64_t position, std::uint32_t signature) {
        return isLocal(signature) && plausibleFirstHeader(position);
    });
}

std::optional<ZipRecordScan::Descriptor> ZipRecordScan::SearchDescriptor(std::int64_t dataStart) {
    Descriptor found;
    const auto accept = [&](std::int64_t position, std::uint32_t signature) {
        std::size_t got = 0;
        if (signature == kDescriptorSignature) {
            const std::uint8_t* d = bytesAt(position, 16, got);
            if (got == 16 && GetLE32(&d[8]) == position - dataStart) {
                found = {GetLE32(&d[4]), GetLE32(&d[8]), GetLE32(&d[12]), position + 16};
                return true;
            }
        } else if (isHeaderOrEnd(signature) && position - dataStart >= 12) {
            const std::uint8_t* d = bytesAt(position - 12, 12, got);
            if (got == 12 && GetLE32(&d[4]) == position - 12 - dataStart) {
                found = {GetLE32(&d[0]), GetLE32(&d[4]), GetLE32(&d[8]), position};
                return true;
            }
        }
        return false;
    };
    if (!scan(dataStart, accept))
        return std::nullopt;
    return found;
}

std::optional<ZipRecordScan::Descriptor> ZipRecordScan::DescriptorAt(std::int64_t position,
                                                                     std::uint32_t compressed) {
    std::size_t got = 0;
    const std::uint8_t* d = bytesAt(position, 16, got);
    const std::size_t at = got >= 4 && GetLE32(d) == kDescriptorSignature ? 4 : 0;
    if (got < at + 12 || GetLE32(&d[at + 4]) != compressed)
        return std::nullopt;
    return Descriptor{GetLE32(&d[at]), compressed, GetLE32(&d[at + 8]),
                      position + static_cast<std::int64_t>(at) + 12};
}

} // namespace kd
