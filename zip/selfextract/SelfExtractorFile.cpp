// Assembling a self-extractor: stub, block and an archive moved behind them.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/FileStream.h"
#include "platform/TempFileBeside.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/TEndCentral.h"
#include "zip/format/ZipRecords.h"
#include "zip/selfextract/SelfExtractor.h"
#include "zip/writer/ZipWriterTypes.h"

namespace kd {

namespace {

// The parts of a single-file archive that a move changes.
struct ArchiveLayout {
    std::int64_t dataStart = 0; // the first local header (the central directory without one)
    std::int64_t centralStart = 0;
    std::vector<std::uint8_t> central; // the central directory
    std::vector<std::uint8_t> tail;    // the end record, its comment and anything behind
};

[[noreturn]] void inconsistent(const std::string& archive, const std::string& what) {
    throw EBadZipFile("The archive " + archive + " cannot be made self-extracting: " + what);
}

std::vector<std::uint8_t> readRange(Stream& in, std::int64_t from, std::int64_t to) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(to - from));
    in.Seek(from, SeekOrigin::Begin);
    in.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

ArchiveLayout readLayout(Stream& in, const std::string& archive) {
    TEndCentral end;
    if (in.Size() == 0 || !end.FindAndReadEndRecord(in))
        inconsistent(archive, "it has no end of central directory record");
    if (end.ThisDisk != 0 || end.CentralDisk != 0 || end.EntriesOnDisk != end.TotalEntries)
        throw EZipNotSupported("The archive " + archive +
                               " has several parts; a self-extractor is a single file");
    const std::int64_t endPos = end.CommentPosition - static_cast<std::int64_t>(kEndRecordFixed);
    ArchiveLayout layout;
    layout.centralStart = end.CentralOffsetOnDisk;
    if (layout.centralStart + end.CentralSize != endPos)
        inconsistent(archive, "its central directory is not where its end record says");
    layout.central = readRange(in, layout.centralStart, endPos);
    layout.tail = readRange(in, endPos, in.Size());

    // Every central header must be whole and point to a local header in front of the
    // directory, on this disk.
    layout.dataStart = layout.centralStart;
    std::size_t pos = 0;
    const std::vector<std::uint8_t>& c = layout.central;
    for (int i = 0; i < end.TotalEntries; ++i) {
        if (pos + kCentralHeaderFixed > c.size() || GetLE32(&c[pos]) != Signatures().Central)
            inconsistent(archive, "its central directory is damaged");
        const std::uint32_t local = GetLE32(&c[pos + 42]);
        if (GetLE16(&c[pos + 34]) != 0 || local >= layout.centralStart)
            inconsistent(archive, "an entry points outside the archive");
        layout.dataStart = std::min<std::int64_t>(layout.dataStart, local);
        pos += kCentralHeaderFixed + GetLE16(&c[pos + 28]) + GetLE16(&c[pos + 30]) +
               GetLE16(&c[pos + 32]);
    }
    if (pos != c.size())
        inconsistent(archive, "its central directory size does not match its entries");
    return layout;
}

// Moves the archive's data from dataStart to newStart: the local header offsets of
// the central headers and the directory offset of the end record change.
void relocate(ArchiveLayout& layout, std::int64_t newStart, const std::string& target) {
    const std::int64_t shift = newStart - layout.dataStart;
    const auto tailLength = static_cast<std::int64_t>(layout.tail.size());
    if (static_cast<std::uint64_t>(layout.centralStart + shift) + layout.central.size() +
            static_cast<std::uint64_t>(tailLength) >
        kMaxZipSize)
        throw EZipTooLarge("The self-extractor " + target +
                           " would pass 4 GiB, which a ZIP archive without ZIP64 cannot hold");
    std::vector<std::uint8_t>& c = layout.central;
    for (std::size_t pos = 0; pos < c.size();) {
        PutLE32(&c[pos + 42], static_cast<std::uint32_t>(GetLE32(&c[pos + 42]) + shift));
        pos += kCentralHeaderFixed + GetLE16(&c[pos + 28]) + GetLE16(&c[pos + 30]) +
               GetLE16(&c[pos + 32]);
    }
    PutLE32(&layout.tail[16], static_cast<std::uint32_t>(layout.centralStart + shift));
}

// The archive's permission bits, with execute added wherever read is granted.
mode_t executableMode(int archiveFd) {
    struct stat st {};
    const mode_t mode = ::fstat(archiveFd, &st) == 0 ? (st.st_mode & 0777) : 0644;
    return mode | ((mode & 0444) >> 2);
}

} // namespace

std::string selfExtractorTarget(const std::string& zipName) {
    std::error_code ec;
    if (zipName.size() < 4 || !std::filesystem::is_regular_file(zipName, ec))
        return zipName;
    std::string extension = zipName.substr(zipName.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return extension == ".zip" ? zipName.substr(0, zipName.size() - 4) + ".exe" : zipName;
}

void writeSelfExtractorFile(Stream& stub, const std::uint8_t* block, std::size_t blockSize,
                            const std::string& archive, const std::string& target) {
    FileStream in(archive, FileOpenMode::Read);
    ArchiveLayout layout = readLayout(in, archive);
    const std::int64_t stubSize = stub.Size();
    relocate(layout, stubSize + static_cast<std::int64_t>(blockSize), target);

    TempFileBeside pending(target, 0600);
    FileStream out(pending.DupFd(), target);
    stub.Seek(0, SeekOrigin::Begin);
    out.CopyFrom(stub, static_cast<std::uint64_t>(stubSize));
    if (blockSize > 0)
        out.WriteBuffer(block, blockSize);
    in.Seek(layout.dataStart, SeekOrigin::Begin);
    out.CopyFrom(in, static_cast<std::uint64_t>(layout.centralStart - layout.dataStart));
    out.WriteBuffer(layout.central.data(), layout.central.size());
    out.WriteBuffer(layout.tail.data(), layout.tail.size());
    out.FlushToDevice();
    if (::fchmod(out.Handle(), executableMode(in.Handle())) != 0)
        throw Exception("Cannot make " + target + " executable: " + std::strerror(errno));
    out.Close();
    pending.Publish();
}

} // namespace kd
