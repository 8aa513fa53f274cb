#include "zip/writer/SourceFields.h"

#include "zip/base/DosDateTime.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

std::uint32_t dosAttributes(std::string_view name, std::uint32_t mode, bool archive) {
    std::uint32_t attributes = 0;
    if (!(mode & S_IWUSR))
        attributes |= 0x01; // read-only
    const auto slash = name.rfind('/');
    if (name.substr(slash == std::string_view::npos ? 0 : slash + 1).starts_with('.'))
        attributes |= 0x02; // hidden
    if (archive)
        attributes |= 0x20;
    return attributes;
}

std::uint32_t withUnixMode(std::uint32_t attributes, std::uint32_t mode) {
    return (attributes & 0xFFFF) | (mode & 0xFFFF) << 16;
}

SourceFields fieldsOf(std::string_view name, std::uint32_t mode, std::time_t modified,
                      std::uint32_t localDosTime, bool archiveSet) {
    SourceFields fields;
    // The last-write time as a DOS value, clamped to the years DOS dates hold.
    fields.DosDateTime = DosDateTimeClamp(localDosTime);
    fields.ExternalAttributes = withUnixMode(dosAttributes(name, mode, archiveSet), mode);
    fields.VersionMadeBy = kMadeByUnix;
    fields.UnixModified = modified;
    return fields;
}

} // namespace

SourceFields SourceFields::Of(const std::string& name, const struct stat& st, bool archiveSet) {
    return fieldsOf(name, st.st_mode, st.st_mtime, UnixTimeToDosDateTime(st.st_mtime), archiveSet);
}

SourceFields SourceFields::Of(std::string_view name, std::uint32_t mode, std::time_t modified,
                              bool archiveSet, LocalTimeCache& localTimes) {
    return fieldsOf(name, mode, modified, UnixTimeToDosDateTime(modified, localTimes), archiveSet);
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
    header.ExternalAttributes = withUnixMode(header.ExternalAttributes, st.st_mode);
    header.SetUnixModified(st.st_mtime);
}

} // namespace kd
