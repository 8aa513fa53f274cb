// The data of one file entry: read, checked, compressed or stored, encrypted.
#include <sys/stat.h>

#include "zip/format/Crc32.h"
#include "zip/format/ZipCrypt.h"
#include "zip/format/ZipRecords.h"
#include "zip/writer/CompressedFile.h"
#include "zip/writer/TZipWriter.h"
#include "zip/writer/ZipWriterNames.h"
#include "zip/writer/ZipWriterRun.h"

namespace kd {

namespace {

// Cancel and the message queue are looked at after this many bytes of output (and
// at the first write of each entry).
constexpr std::int64_t kCheckInterval = 65536;
constexpr std::size_t kStoreBlock = 32768;
constexpr std::size_t kCrcBlock = 65528;

// An entry's data goes to the temporary data file of a multi-part run, else straight
// into the archive.
void writeEntryBytes(ZipWriterRun& run, const std::uint8_t* data, std::size_t count) {
    if (run.Spool)
        run.Spool->Write(data, count);
    else
        run.Output->Write(data, count);
}

} // namespace

void TZipWriter::reportRead(ZipWriterRun& run, std::uint64_t got, std::uint64_t bytesRead,
                            std::uint64_t size, bool spooled) {
    run.DoneBytes += static_cast<std::int64_t>(got);
    // Reading is the first half of the work when the data is copied afterwards.
    if (OnFilePercentDone)
        OnFilePercentDone(
            *this, Percent(static_cast<std::int64_t>(bytesRead), static_cast<std::int64_t>(size)) /
                       (spooled ? 2 : 1));
    if (OnTotalPercentDone)
        OnTotalPercentDone(*this, Percent(run.DoneBytes, run.TotalBytes));
}

bool TZipWriter::writeFileData(ZipWriterRun& run, TLFNFileStream& source, TZipHeaderInfo& header,
                               const ArchiveStamp& stamp) {
    ZipWriterOutput& out = *run.Output;
    const auto size = static_cast<std::uint64_t>(stamp.size);
    header.UncompressedSize = static_cast<std::uint32_t>(size);
    header.Flags &= static_cast<std::uint16_t>(~kFlagEncrypted);
    const bool storedByRule = isStoredByRule(header.FileName());
    // In several parts the local header waits until the data is complete.
    const bool spooled = run.Spool != nullptr;
    if (spooled)
        run.Spool->Reset();
    else
        out.WriteLocalHeader(header);
    run.EntryBytesSinceCheck = kCheckInterval; // the first write looks

    // With a password the CRC comes first: its top bytes end the encryption header.
    const bool encrypt = !Password().empty();
    std::uint32_t firstCrc = 0;
    if (encrypt) {
        firstCrc = crcOfSource(run, source);
        source.Seek(0, SeekOrigin::Begin);
        // The password's UTF-8 bytes, as the system's other ZIP tools take it.
        const auto head = run.Cipher.CreateEncryptionHeader(
            Password(), ZipCrypt::CheckWord(header.Flags, firstCrc,
                                            static_cast<std::uint16_t>(header.DosDateTime)));
        writeEntryBytes(run, head.data(), head.size());
    }

    std::uint64_t bytesRead = 0;
    run.Crc = 0;
    const DeflateReadFunction read = [&](std::uint8_t* buffer, std::size_t wanted) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size - bytesRead));
        const std::size_t got = n == 0 ? 0 : source.Read(buffer, n);
        if (got > 0) {
            bytesRead += got;
            run.Crc = Crc32Update(run.Crc, buffer, got);
            reportRead(run, got, bytesRead, size, spooled);
        }
        return got;
    };
    const DeflateWriteFunction write = [&](const std::uint8_t* data, std::size_t count) {
        writeData(run, data, count, encrypt);
    };

    std::uint64_t compressed = 0;
    if (storedByRule) {
        for (std::size_t got; (got = read(run.Scratch.data(), kStoreBlock)) > 0;) {
            write(run.Scratch.data(), got);
            compressed += got;
        }
        header.Method = 0;
        header.InternalAttributes = 0;
    } else {
        DeflateEntry entry{8, header.Flags, 2};
        compressed = run.Compressor.DeflateStream(read, write, packLevel_, entry);
        header.Method = entry.Method;
        header.Flags = entry.Flags;
        header.InternalAttributes = entry.Method == 0 ? 0 : entry.InternalAttributes;
    }

    // The entry is good only when the file stayed as it was opened.
    std::uint8_t probe = 0;
    const bool grew = source.Read(&probe, 1) == 1;
    const bool same = bytesRead == size && !grew &&
                      ArchiveAttribute::StampOf(source.Handle()) == stamp &&
                      (!encrypt || run.Crc == firstCrc);
    if (!same) {
        run.DoneBytes -= static_cast<std::int64_t>(bytesRead);
        return false;
    }

    header.Crc32 = run.Crc;
    header.CompressedSize =
        static_cast<std::uint32_t>(compressed + (encrypt ? ZipCrypt::kHeaderSize : 0));
    if (encrypt)
        header.Flags |= kFlagEncrypted;
    if (spooled) {
        writeSpooledEntry(run, header);
        return true;
    }
    const std::int64_t end = out.Position();
    out.Seek(header.LocalOffset);
    header.WriteLocalHeader(out.Out());
    out.Seek(end);
    return true;
}

bool TZipWriter::isStoredByRule(const std::string& fileName) const {
    return packLevel_ <= 0 || MatchesMaskList(noCompressList_, fileName);
}

bool TZipWriter::writePrefetchedData(ZipWriterRun& run, const CompressedFile& data,
                                     const std::string& name, TZipHeaderInfo& header) {
    const bool spooled = run.Spool != nullptr;
    const bool encrypt = !Password().empty();
    // The check word from the flags as they stand before the data is made, as inline.
    const std::uint16_t checkFlags = header.Flags;
    if (!data.StoredByRule)
        header.Flags = static_cast<std::uint16_t>((header.Flags & ~6u) | data.LevelFlags);
    header.Method = data.Method;
    header.InternalAttributes = data.InternalAttributes;
    header.Crc32 = data.Crc;
    header.CompressedSize =
        static_cast<std::uint32_t>(data.Data.size() + (encrypt ? ZipCrypt::kHeaderSize : 0));
    if (encrypt)
        header.Flags |= kFlagEncrypted;
    // Everything is known: the local header is written once, final.
    if (spooled)
        run.Spool->Reset();
    else
        run.Output->WriteLocalHeader(header);
    run.EntryBytesSinceCheck = kCheckInterval;
    if (encrypt) {
        // The keys live on this thread only: the data is encrypted as it is written.
        const auto head = run.Cipher.CreateEncryptionHeader(
            Password(), ZipCrypt::CheckWord(checkFlags, data.Crc,
                                            static_cast<std::uint16_t>(header.DosDateTime)));
        writeEntryBytes(run, head.data(), head.size());
    }
    // Each read of the file raises the progress events it raised when made, and the
    // data goes out alongside in proportion, so that cancel is looked at as often.
    const auto size = std::uint64_t{header.UncompressedSize};
    const std::uint64_t total = data.Data.size();
    std::uint64_t bytesRead = 0;
    std::uint64_t written = 0;
    const auto writeUpTo = [&](std::uint64_t upTo) {
        if (upTo > written)
            writeData(run, data.Data.data() + written, static_cast<std::size_t>(upTo - written),
                      encrypt);
        written = std::max(written, upTo);
    };
    for (const std::uint32_t got : data.Reads) {
        bytesRead += got;
        reportRead(run, got, bytesRead, size, spooled);
        writeUpTo(size == 0 ? total : total * bytesRead / size);
    }
    writeUpTo(total);
    // A file that changed since it was read (while the events ran) is read again, as
    // one that changes while read here. One deleted meanwhile keeps what was read
    // whole: a file held open here would have been read after its deletion too.
    struct stat now {};
    if (run.Sources.Stat(name, now) && !(ArchiveAttribute::StampOf(now) == data.Stamp)) {
        run.DoneBytes -= static_cast<std::int64_t>(bytesRead);
        return false;
    }
    if (spooled)
        writeSpooledEntry(run, header);
    return true;
}

std::uint32_t TZipWriter::crcOfSource(ZipWriterRun& run, TLFNFileStream& source) {
    std::uint32_t crc = 0;
    std::int64_t sinceCheck = 0;
    for (std::size_t got; (got = source.Read(run.Scratch.data(), kCrcBlock)) > 0;) {
        crc = Crc32Update(crc, run.Scratch.data(), got);
        if ((sinceCheck += static_cast<std::int64_t>(got)) >= 16 * kCheckInterval) {
            sinceCheck = 0;
            ProcessMessagesAndCheckCancel();
        }
    }
    return crc;
}

void TZipWriter::writeData(ZipWriterRun& run, const std::uint8_t* data, std::size_t count,
                           bool encrypt) {
    if (encrypt) {
        // Encrypted in a copy: the compressor's buffer is not ours to change.
        while (count > 0) {
            const std::size_t piece = std::min(count, run.CipherBuffer.size());
            std::copy(data, data + piece, run.CipherBuffer.begin());
            run.Cipher.EncryptBuffer(run.CipherBuffer.data(), piece);
            writeEntryBytes(run, run.CipherBuffer.data(), piece);
            data += piece;
            count -= piece;
        }
    } else {
        writeEntryBytes(run, data, count);
    }
    run.EntryBytesSinceCheck += static_cast<std::int64_t>(count);
    if (run.EntryBytesSinceCheck >= kCheckInterval) {
        run.EntryBytesSinceCheck = 0;
        ProcessMessagesAndCheckCancel();
    }
}

} // namespace kd
