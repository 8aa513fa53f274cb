#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ArchiveAttribute.h"

namespace kd {

// One file's entry data made ahead of its turn: the bytes the entry holds (Deflate
// output, or the file itself when stored; never encrypted), what the compressor
// settled, and the sizes of the reads that fed it, so that the writing thread can
// raise the same progress events as if it had read the file itself.
struct CompressedFile {
    // The file as it was read (fstat of the open file): the data is good only for
    // this state, and the entry's header is made from it.
    struct stat Status {};
    ArchiveStamp Stamp;
    // The file's archive attribute in that state.
    bool ArchiveSet = true;
    // False when the file could not be read whole and unchanged; the writing thread
    // then reads it itself, which reports whatever went wrong.
    bool Complete = false;
    // Stored without compression (level 0 or NoCompressList) rather than deflated.
    bool StoredByRule = false;
    std::vector<std::uint8_t> Data;
    std::vector<std::uint32_t> Reads;
    std::uint32_t Crc = 0;
    std::uint16_t Method = 0;
    std::uint16_t LevelFlags = 0; // bits 1-2 of the general-purpose flags
    std::uint16_t InternalAttributes = 0;
};

// What a file's entry data is made from: its path, size, the Deflate level (0 or
// less stores), whether it is stored by rule, and how many threads a large file's
// compression may use (the bytes are the same for any number).
struct CompressJob {
    std::string Path;
    std::uint64_t Size = 0;
    int PackLevel = 6;
    bool StoredByRule = false;
    int Threads = 1;
    // The file's place in the run: of large files compressed at once, the earlier
    // ones get the helper threads.
    std::uint64_t Rank = 0;
};

} // namespace kd
