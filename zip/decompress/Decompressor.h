#pragma once
#include "zip/decompress/DecompressIO.h"
#include "zip/decompress/ParallelInflate.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kd {

// Runs the decoder of an entry's compression method: 0 stored, 1 shrunk,
// 2-5 reduced, 6 imploded, 8 deflated. One object serves a whole extraction run
// and keeps its buffers between entries.
class Decompressor {
public:
    Decompressor();
    ~Decompressor();
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    static bool IsSupported(unsigned method);

    // Decodes one entry. `uncompressedSize` ends the methods without an end mark
    // (2-6); `flags` are the entry's general-purpose flags (method 6 uses bits 1
    // and 2). Malformed data raises EBadCompressedData; inflate's tables that
    // cannot be allocated EInflateOutOfMemory; an unsupported method raises
    // Exception. Errors of the input and output pass through. Helpers, when given,
    // inflate with the calling thread.
    void Run(unsigned method, DecompressInput& input, DecompressOutput& output,
             std::uint64_t uncompressedSize, unsigned flags, const InflateHelpers& helpers = {});

private:
    void CopyStored(DecompressInput& input, DecompressOutput& output);

    std::unique_ptr<InflateDecoder> inflate_;
    std::vector<std::uint8_t> copyBuffer_;
};

} // namespace kd
