// Any bytes through unshrink, unreduce (factors 1-4) or explode (every flag choice):
// the first byte chooses the method, the next four the uncompressed size.
#include "FuzzSupport.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/Explode.h"
#include "zip/decompress/Unreduce.h"
#include "zip/decompress/Unshrink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    const unsigned choice = data[0] % 9; // 0 shrink, 1-4 reduce, 5-8 implode flags
    const std::uint64_t expected = (std::uint64_t{data[1]} | std::uint64_t{data[2]} << 8 |
                                    std::uint64_t{data[3]} << 16 | std::uint64_t{data[4]} << 24) &
                                   0xFFFFFF;
    kd::fuzz::BytesInput input(data + 5, size - 5, data[0] & 0x80 ? 1 : 4096);
    kd::fuzz::CappedOutput output(32u << 20);
    try {
        if (choice == 0)
            kd::Unshrink(input, output);
        else if (choice <= 4)
            kd::Unreduce(input, output, expected, choice);
        else
            kd::Explode(input, output, expected, (choice - 5) << 1);
    } catch (const kd::fuzz::OutputLimitReached&) {
        return 0;
    } catch (const kd::EBadCompressedData&) {
        return 0;
    }
    if (choice != 0 && output.bytes.size() != expected)
        kd::fuzz::fail("decoder ended with a size other than the one asked for");
    return 0;
}
