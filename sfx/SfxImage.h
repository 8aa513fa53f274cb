#pragma once
#include <cstdint>
#include <string>

#include "platform/Stream.h"
#include "zip/selfextract/TSFXConfig.h"

namespace kd {

// What a self-extractor carries behind its program: the configuration block (when
// there is one) right where the ELF image ends, then the archive. The archive's
// offsets count from the start of the file, so a reader opens the whole file.
struct SfxImage {
    std::string Path;          // the executable file
    std::int64_t StubSize = 0; // where the ELF image ends
    bool HasBlock = false;     // a valid block follows the image
    TSFXConfig Config;         // from the block; the defaults without one
};

// Reads the image of the executable at path.
SfxImage ReadSfxImage(const std::string& path);

// The length of the ELF file at the start of stream: the furthest end of its headers,
// segments and sections. Throws kd::Exception when it is not a 64-bit little-endian
// ELF file or its tables lie outside the stream.
std::int64_t ElfImageSize(Stream& stream);

} // namespace kd
