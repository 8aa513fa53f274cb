#include "zip/decompress/Decompressor.h"

#include "platform/Exception.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/Explode.h"
#include "zip/decompress/InflateDecoder.h"
#include "zip/decompress/Unreduce.h"
#include "zip/decompress/Unshrink.h"

#include <new>
#include <string>

namespace kd {

Decompressor::Decompressor() = default;
Decompressor::~Decompressor() = default;

bool Decompressor::IsSupported(unsigned method) {
    return method <= 6 || method == 8;
}

void Decompressor::Run(unsigned method, DecompressInput& input, DecompressOutput& output,
                       std::uint64_t uncompressedSize, unsigned flags,
                       const InflateHelpers& helpers) {
    switch (method) {
    case 0:
        CopyStored(input, output);
        return;
    case 1:
        Unshrink(input, output);
        return;
    case 2:
    case 3:
    case 4:
    case 5:
        Unreduce(input, output, uncompressedSize, method - 1);
        return;
    case 6:
        Explode(input, output, uncompressedSize, flags);
        return;
    case 8:
        if (!inflate_) {
            try {
                inflate_ = std::make_unique<InflateDecoder>();
            } catch (const std::bad_alloc&) {
                throw EInflateOutOfMemory();
            }
        }
        if (helpers.count > 0)
            ParallelInflate(input, *inflate_, output, helpers);
        else
            inflate_->Run(input, output);
        return;
    default:
        throw Exception("Unsupported compression method " + std::to_string(method));
    }
}

void Decompressor::CopyStored(DecompressInput& input, DecompressOutput& output) {
    copyBuffer_.resize(32768);
    while (const std::size_t n = input.Read(copyBuffer_.data(), copyBuffer_.size()))
        output.Write(copyBuffer_.data(), n);
}

} // namespace kd
