#include "zip/writer/FileCompressor.h"

#include <algorithm>
#include <memory>
#include <sys/stat.h>

#include "zip/base/TLFNFileStream.h"
#include "zip/format/Crc32.h"
#include "zip/writer/ZipWriterTypes.h"

namespace kd {

namespace {

constexpr std::size_t kStoreBlock = 32768;
// A file at least this large is compressed on several threads when the run has them.
constexpr std::uint64_t kSplitFrom = std::uint64_t{1} << 20;

class Stopped {};

// Reads the whole file and compresses it on the job's threads. The progress pieces are
// those the streaming compressor would have read; returns the bytes read.
std::uint64_t deflateWhole(TLFNFileStream& source, const CompressJob& job, Deflater& compressor,
                           const DeflateWriteFunction& write, DeflateEntry& entry,
                           CompressedFile& result, const std::atomic<bool>& stop) {
    const auto size = static_cast<std::size_t>(job.Size);
    const auto data = std::make_unique_for_overwrite<std::uint8_t[]>(size + DeflateReadSlack);
    std::size_t got = 0;
    for (std::size_t n; got < size && (n = source.Read(data.get() + got, size - got)) > 0;)
        got += n;
    if (got != size)
        return got; // shorter than it was: the writing thread reads it itself
    result.Crc = Crc32Update(0, data.get(), size);
    compressor.SetHelperRank(job.Rank);
    compressor.DeflateInMemory(
        data.get(), size, job.PackLevel, job.Threads, write, entry,
        [&](std::size_t piece) { result.Reads.push_back(static_cast<std::uint32_t>(piece)); },
        stop);
    return got;
}

} // namespace

bool CompressesInParts(const CompressJob& job) {
    return !job.StoredByRule && job.Threads > 1 && job.Size >= kSplitFrom &&
           deflateLevelIsLazy(std::clamp(job.PackLevel, 0, 9));
}

CompressedFile CompressFile(const CompressJob& job, Deflater& compressor,
                            const std::atomic<bool>& stop, ArchiveAttribute& attributes) {
    CompressedFile result;
    result.StoredByRule = job.StoredByRule;
    try {
        // Opening a FIFO or a device could block for ever: only regular files.
        struct stat st {};
        if (::stat(job.Path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return result;
        TLFNFileStream source(job.Path, kZipBufferSize, false, FileOpenMode::Read);
        if (::fstat(source.Handle(), &result.Status) != 0 ||
            static_cast<std::uint64_t>(result.Status.st_size) != job.Size)
            return result;
        result.Stamp = ArchiveAttribute::StampOf(result.Status);
        result.ArchiveSet = attributes.IsSet(job.Path, source.Handle(), result.Stamp);
        const std::uint64_t size = job.Size;
        std::uint64_t bytesRead = 0;
        const DeflateReadFunction read = [&](std::uint8_t* buffer, std::size_t wanted) {
            if (stop.load(std::memory_order_relaxed))
                throw Stopped();
            const auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size - bytesRead));
            const std::size_t got = n == 0 ? 0 : source.Read(buffer, n);
            if (got > 0) {
                bytesRead += got;
                result.Crc = Crc32Update(result.Crc, buffer, got);
                result.Reads.push_back(static_cast<std::uint32_t>(got));
            }
            return got;
        };
        const DeflateWriteFunction write = [&](const std::uint8_t* data, std::size_t count) {
            result.Data.insert(result.Data.end(), data, data + count);
        };
        result.Data.reserve(static_cast<std::size_t>(job.StoredByRule ? size : size / 2));
        if (job.StoredByRule) {
            std::vector<std::uint8_t> block(kStoreBlock);
            for (std::size_t got; (got = read(block.data(), kStoreBlock)) > 0;)
                write(block.data(), got);
            result.Method = 0;
            result.InternalAttributes = 0;
        } else {
            DeflateEntry entry{8, 0, 2};
            if (CompressesInParts(job))
                bytesRead = deflateWhole(source, job, compressor, write, entry, result, stop);
            else
                compressor.DeflateStream(read, write, job.PackLevel, entry);
            result.Method = entry.Method;
            result.LevelFlags = entry.Flags & 6u;
            result.InternalAttributes = entry.Method == 0 ? 0 : entry.InternalAttributes;
        }
        std::uint8_t probe = 0;
        const bool grew = source.Read(&probe, 1) == 1;
        result.Complete = bytesRead == size && !grew &&
                          ArchiveAttribute::StampOf(source.Handle()) == result.Stamp;
    } catch (...) {
        // Stopped, unreadable or out of memory: the writing thread reads it itself.
        result.Complete = false;
    }
    if (!result.Complete) {
        result.Data = {};
        result.Reads = {};
    }
    return result;
}

} // namespace kd
