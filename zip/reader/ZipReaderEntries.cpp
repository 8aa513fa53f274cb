// The reader's per-entry accessors, comments and contents listing.
#include <array>
#include <chrono>
#include <cstdio>

#include "platform/TextFile.h"
#include "zip/base/DosDateTime.h"
#include "zip/base/ZipFiles.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/ZipRecords.h"
#include "zip/reader/TZipReader.h"

namespace kd {

namespace {

// The entry's exact time when it has one (local time), else its DOS time; now when
// the DOS value names no moment.
TDateTime entryDateTime(const TZipHeaderInfo& e) {
    if (e.UnixModified())
        return toDateTime(static_cast<std::time_t>(*e.UnixModified()));
    if (const auto value = DosDateTimeToDateTime(e.DosDateTime))
        return *value;
    return toDateTime(std::chrono::system_clock::now());
}

// "mm/dd/yy" and "hh:mmam" / "hh:mmpm" (12-hour clock).
std::string listDate(const DateParts& p) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02d/%02d/%02d", p.month, p.day, p.year % 100);
    return text.data();
}

std::string listTime(const DateParts& p) {
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02d:%02d%s", hour12, p.minute,
                  p.hour < 12 ? "am" : "pm");
    return text.data();
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

int TZipReader::GetEntryCount() const {
    return directory_ ? directory_->Count() : 0;
}

const std::shared_ptr<TZipHeaderInfo>& TZipReader::EntryPtr(int index) const {
    if (index < 0 || index >= GetEntryCount())
        throw EListError("Index " + std::to_string(index) + " is out of range");
    return View()->Get(index);
}

const TZipHeaderInfo& TZipReader::Entry(int index) const {
    return *EntryPtr(index);
}

std::string TZipReader::GetEntryFileName(int index) const {
    return Entry(index).FileName();
}

std::string TZipReader::GetEntryPath(int index) const {
    return Entry(index).Directory();
}

std::string TZipReader::GetEntryMethodName(int index) const {
    return MethodName(Entry(index).Method);
}

TDateTime TZipReader::GetEntryDateTime(int index) const {
    return entryDateTime(Entry(index));
}

std::uint32_t TZipReader::GetEntryCompressedSize(int index) const {
    return Entry(index).CompressedSize;
}

std::uint32_t TZipReader::GetEntryUncompressedSize(int index) const {
    return Entry(index).UncompressedSize;
}

bool TZipReader::GetEntryEncrypted(int index) const {
    return Entry(index).IsEncrypted();
}

bool TZipReader::GetEntryHasComment(int index) const {
    return Entry(index).HasComment();
}

int TZipReader::GetEntryDiskNumber(int index) const {
    return Entry(index).DiskStart + 1;
}

void TZipReader::SetEntrySelected(int index, bool value) {
    EntryPtr(index)->Selected = value;
}

std::string TZipReader::readFromArchive(const std::function<std::string(Stream&)>& read) {
    OpenZipFile();
    std::string text;
    try {
        text = read(*zipStream_);
    } catch (...) {
        if (GetMultiMode() == TMultiMode::mmNone)
            CloseArchive();
        throw;
    }
    if (GetMultiMode() == TMultiMode::mmNone)
        CloseArchive();
    return text;
}

std::string TZipReader::GetEntryComment(int index) {
    const std::shared_ptr<TZipHeaderInfo> entry = EntryPtr(index);
    if (!entry->HasComment())
        return {};
    if (!entry->Comment()) {
        // The comment follows the central header's name and extra field; their
        // lengths are taken from the header as it stands in the file.
        entry->SetComment(readFromArchive([&entry](Stream& s) {
            std::array<std::uint8_t, kCentralHeaderFixed> header{};
            s.Seek(entry->CentralOffset, SeekOrigin::Begin);
            s.ReadBuffer(header.data(), header.size());
            if (GetLE32(header.data()) != Signatures().Central)
                throw EBadZipFile();
            s.Seek(GetLE16(&header[28]) + GetLE16(&header[30]), SeekOrigin::Current);
            std::string text(entry->CommentLength, '\0');
            s.ReadBuffer(text.data(), text.size());
            return text;
        }));
    }
    return decodeTextBytes(entry->Comment().value_or(""));
}

void TZipReader::SetEntryComment(int index, const std::string& text) {
    const std::shared_ptr<TZipHeaderInfo> entry = EntryPtr(index);
    if (entry->HasComment() && !entry->Comment())
        GetEntryComment(index);
    if (decodeTextBytes(entry->Comment().value_or("")) == text)
        return;
    entry->SetComment(text);
    endCentral_.Modified = true;
}

std::string TZipReader::GetArchiveComment() {
    if (!endCentral_.HasComment())
        return {};
    if (!endCentral_.Comment()) {
        const bool modified = endCentral_.Modified;
        endCentral_.SetComment(readFromArchive([this](Stream& s) {
            std::string text(endCentral_.CommentLength, '\0');
            s.Seek(endCentral_.CommentPosition, SeekOrigin::Begin);
            s.ReadBuffer(text.data(), text.size());
            return text;
        }));
        endCentral_.Modified = modified;
    }
    return decodeTextBytes(endCentral_.Comment().value_or(""));
}

void TZipReader::SetArchiveComment(const std::string& text) {
    if (GetArchiveComment() == text)
        return;
    endCentral_.SetComment(text);
    endCentral_.Modified = true;
}

void TZipReader::ListContents(std::vector<std::string>& lines) const {
    lines.clear();
    for (int i = 0; i < GetEntryCount(); ++i) {
        const TZipHeaderInfo& e = Entry(i);
        const DateParts when = decodeDateTime(entryDateTime(e));
        std::array<char, 96> numbers{};
        std::snprintf(numbers.data(), numbers.size(), "%8s\t%7s\t%8u\t%8u\t%3d%%",
                      listDate(when).c_str(), listTime(when).c_str(), e.UncompressedSize,
                      e.CompressedSize, Percent(e.CompressedSize, e.UncompressedSize));
        std::string line = e.FileName();
        if (e.IsEncrypted())
            line += '#';
        if (e.HasComment())
            line += '@';
        line += '\t';
        line += numbers.data();
        line += '\t' + MethodName(e.Method) + '\t' + e.Directory();
        lines.push_back(lowerAscii(std::move(line)));
    }
}

} // namespace kd
