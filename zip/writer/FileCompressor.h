#pragma once
#include <atomic>

#include "zip/deflate/Deflater.h"
#include "zip/writer/CompressedFile.h"

namespace kd {

// Makes a file's entry data the way the writing thread makes it inline (the same
// reads, the same compressor calls), so that the bytes are the same. Runs on a
// worker thread with that thread's own Deflater; stop ends the read at the next
// piece. Never throws: a file that cannot be read gives an incomplete result. The
// file's archive attribute is looked at in attributes.
CompressedFile CompressFile(const CompressJob& job, Deflater& compressor,
                            const std::atomic<bool>& stop, ArchiveAttribute& attributes);

// Whether CompressFile makes the job's data on several threads of its own.
bool CompressesInParts(const CompressJob& job);

} // namespace kd
