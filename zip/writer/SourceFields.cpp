#include "zip/writer/SourceFields.h"

#include "zip/base/DosDateTime.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

std::uint32_t dosAttributes(const std::string& name, const struct stat& st, bool archive) {
    std::uint32_t attributes = 0;
    if (!(st.st_mode & S_IWUSR))
        attributes |= 0x01; // read-only
    const auto slash = name.rfind('/');
    if (name.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0)
        attributes |= 0x02; // hidden
    if (archive)
        attributes |= 0x20;
    return attributes;
}

std::uint32_t withUnixMode(std::uint32_t attributes, const struct stat& st) {
    return (attributes & 0xFFFF) | static_cast<std::uint32_t>(st.st_mode & 0xFFFF) << 16;
}

} // namespace

SourceFields SourceFields::Of(const std::string& name, const struct stat& st, bool archiveSet) {
    SourceFields fields;
    // The last-write time as a DOS value, clamped to the years DOS dates hold.
    fields.DosDateTime = DosDateTimeClamp(UnixTimeToDosDateTime(st.st_mtime));
    fields.ExternalAttributes = withUnixMode(dosAttributes(name, st, archiveSet), st);
    fields.VersionMadeBy = kMadeByUnix;
    fields.UnixModified = st.st_mtime;
    return fields;
}

void SourceFields::ApplyTo(TZipHeaderInfo& header) const {
    header.DosDateTime = DosDateTime;
    header.ExternalAttributes = ExternalAttributes;
    header.VersionMadeBy = VersionMadeBy;
    header.SetUnixModified(UnixModified);
}

void SourceFields::MoveTo(TZipHeaderInfo& header, const SourceFields& fresh) const {
    const bool exactTimeKept = header.UnixModified() == UnixModified;
    if (header.DosDateTime == DosDateTime && exactTimeKept) {
        header.DosDateTime = fresh.DosDateTime;
        header.SetUnixModified(fresh.UnixModified);
    } else if (header.DosDateTime != DosDateTime && exactTimeKept) {
        header.SetUnixModified(std::nullopt);
    }
    if (header.ExternalAttributes == ExternalAttributes)
        header.ExternalAttributes = fresh.ExternalAttributes;
    if (header.VersionMadeBy == VersionMadeBy)
        header.VersionMadeBy = fresh.VersionMadeBy;
}

void RecordUnixState(TZipHeaderInfo& header, const struct stat& st) {
    header.VersionMadeBy = kMadeByUnix;
    header.ExternalAttributes = withUnixMode(header.ExternalAttributes, st);
    header.SetUnixModified(st.st_mtime);
}

} // namespace kd
