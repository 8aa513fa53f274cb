#include "zip/format/RecordSignatures.h"

#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

RecordSignatures make(std::uint32_t central, std::uint32_t local, std::uint32_t end) {
    RecordSignatures s{};
    s.Central = central != 0 ? central : kCentralSignature;
    s.Local = local != 0 ? local : kLocalSignature;
    s.End = end != 0 ? end : kEndSignature;
    PutLE32(s.LocalBytes.data(), s.Local);
    s.EndFirstByte = static_cast<std::uint8_t>(s.End);
    return s;
}

RecordSignatures& current() {
    static RecordSignatures signatures = make(0, 0, 0);
    return signatures;
}

} // namespace

void SetRecordSignatures(std::uint32_t central, std::uint32_t local, std::uint32_t end) {
    current() = make(central, local, end);
}

const RecordSignatures& Signatures() {
    return current();
}

} // namespace kd
