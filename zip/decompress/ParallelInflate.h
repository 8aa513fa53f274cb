#pragma once
#include "zip/decompress/DecompressIO.h"
#include "zip/decompress/InflateDecoder.h"

#include <functional>

namespace kd {

// Threads that may help one inflate: spawn runs a task on another thread, or at once
// (the task does not throw), and at most count run at the same time.
struct InflateHelpers {
    std::function<void(std::function<void()>)> spawn;
    unsigned count = 0;
    std::uint64_t pieceSize = 0; // input bytes per helper's task; 0: chosen by the length
};

// Inflates one stream whose input tells its length (Remaining), as decoder.Run would,
// with helpers decoding the parts further on meanwhile. The calling thread reads the
// input and decodes in order. A helper takes a piece of the input, finds the first
// block that starts in it and decodes from there, marking the history it does not
// know; the calling thread, once it has decoded up to that block, puts the history
// in. A piece whose block proves not to be where the stream's blocks are, or that
// failed in any way, the calling thread decodes itself: so the output and the errors
// are those of Run. A helper that starts after the stream is done finds nothing to do.
// At most count pieces are held at once, each with at most 4 MiB of output (a piece
// that gives more is left to the calling thread). Returns the number of pieces whose
// helper's work was used.
std::size_t ParallelInflate(DecompressInput& input, InflateDecoder& decoder,
                            DecompressOutput& output, const InflateHelpers& helpers);

} // namespace kd
