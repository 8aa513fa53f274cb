#include "zip/writer/FileCompressor.h"

#include <algorithm>
#include <sys/stat.h>

#include "zip/base/TLFNFileStream.h"
#include "zip/format/Crc32.h"
#include "zip/writer/ZipWriterTypes.h"

namespace kd {

namespace {

constexpr std::size_t kStoreBlock = 32768;

class Stopped {};

} // namespace

CompressedFile CompressFile(const CompressJob& job, Deflater& compressor,
                            const std::atomic<bool>& stop) {
    CompressedFile result;
    result.StoredByRule = job.StoredByRule;
    try {
        // Opening a FIFO or a device could block for ever: only regular files.
        struct stat st {};
        if (::stat(job.Path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return result;
        TLFNFileStream source(job.Path, kZipBufferSize, false, FileOpenMode::Read);
        const auto before = ArchiveAttribute::StampOf(source.Handle());
        if (!before || static_cast<std::uint64_t>(before->size) != job.Size)
            return result;
        result.Stamp = *before;
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
            compressor.DeflateStream(read, write, job.PackLevel, entry);
            result.Method = entry.Method;
            result.LevelFlags = entry.Flags & 6u;
            result.InternalAttributes = entry.Method == 0 ? 0 : entry.InternalAttributes;
        }
        std::uint8_t probe = 0;
        const bool grew = source.Read(&probe, 1) == 1;
        result.Complete =
            bytesRead == size && !grew && ArchiveAttribute::StampOf(source.Handle()) == before;
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
