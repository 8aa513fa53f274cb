// Any bytes as a Deflate stream, inflated in small pieces by helpers: the same bytes
// and the same refusal as inflate on one thread.
#include "FuzzSupport.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/ParallelInflate.h"

#include <algorithm>
#include <string>

namespace {

struct Outcome {
    std::vector<std::uint8_t> bytes;
    std::string error;
    bool tooLong = false;
};

template <class Decode> Outcome decodeWith(Decode decode) {
    kd::fuzz::CappedOutput output(16u << 20);
    Outcome outcome;
    try {
        decode(output);
    } catch (const kd::fuzz::OutputLimitReached&) {
        outcome.tooLong = true;
    } catch (const kd::EBadCompressedData& e) {
        outcome.error = e.what();
    }
    outcome.bytes = std::move(output.bytes);
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kd::InflateDecoder decoder;
    const Outcome one = decodeWith([&](kd::fuzz::CappedOutput& output) {
        kd::fuzz::BytesInput input(data, size, 4096);
        decoder.Run(input, output);
    });
    // Helpers run as they are handed out, on pieces small enough that a short stream
    // has several.
    const kd::InflateHelpers helpers{[](std::function<void()> task) { task(); }, 3,
                                     std::max<std::size_t>(64, size / 5)};
    const Outcome many = decodeWith([&](kd::fuzz::CappedOutput& output) {
        kd::fuzz::BytesInput input(data, size, 4096);
        kd::ParallelInflate(input, decoder, output, helpers);
    });
    if (one.tooLong || many.tooLong)
        return 0; // where each stops writing depends on how it writes
    const std::size_t common = std::min(one.bytes.size(), many.bytes.size());
    if (one.error != many.error ||
        !std::equal(one.bytes.begin(), one.bytes.begin() + common, many.bytes.begin()))
        kd::fuzz::fail("inflate in pieces and on one thread disagree");
    if (one.error.empty() && one.bytes != many.bytes)
        kd::fuzz::fail("inflate in pieces gives other bytes");
    return 0;
}
