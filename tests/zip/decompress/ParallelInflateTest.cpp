#include "zip/support/DecompressTestSupport.h"

#include "zip/base/ThreadPool.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/ParallelInflate.h"

#include <functional>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace kd;
using namespace kd::test;

namespace {

// Text, then bytes of a program's kind (short runs of few values), then noise: each
// gives the blocks another shape.
Bytes MixedData(std::size_t size) {
    Bytes data = TextLikeData(size / 2, 5);
    std::uint32_t state = 7;
    while (data.size() < size * 7 / 8) {
        state = state * 1103515245u + 12345u;
        data.insert(data.end(), 1 + (state >> 28), static_cast<std::uint8_t>((state >> 16) & 0x1F));
    }
    const Bytes noise = RandomData(size - data.size(), 3);
    data.insert(data.end(), noise.begin(), noise.end());
    return data;
}

struct Outcome {
    Bytes bytes;
    std::string error; // empty when the stream decoded
    std::size_t used = 0;
};

// The stream decoded by decode (which returns the pieces used), or its refusal.
Outcome InflateWith(const Bytes& stream,
                    const std::function<std::size_t(DecompressInput&, DecompressOutput&)>& decode) {
    MemoryInput input(stream, 5000);
    VectorOutput output;
    Outcome outcome;
    try {
        outcome.used = decode(input, output);
    } catch (const EBadCompressedData& e) {
        outcome.error = e.what();
    }
    outcome.bytes = std::move(output.bytes);
    return outcome;
}

Outcome InflateOneThread(const Bytes& stream) {
    InflateDecoder decoder;
    return InflateWith(stream, [&decoder](DecompressInput& input, DecompressOutput& output) {
        decoder.Run(input, output);
        return std::size_t{0};
    });
}

// With pool's threads as helpers; with none, each helper's task runs as it is handed
// out, so that every piece the helpers can do is theirs.
Outcome InflateOnThreads(const Bytes& stream, std::uint64_t pieceSize, ThreadPool* pool) {
    InflateDecoder decoder;
    const InflateHelpers helpers{[pool](std::function<void()> task) {
                                     if (pool)
                                         pool->Submit(task);
                                     else
                                         task();
                                 },
                                 4, pieceSize};
    return InflateWith(stream, [&](DecompressInput& input, DecompressOutput& output) {
        return ParallelInflate(input, decoder, output, helpers);
    });
}

} // namespace

TEST(ParallelInflate, GivesWhatOneThreadGivesForEveryKindOfStream) {
    ThreadPool pool(4);
    const Bytes data = MixedData(1200000);
    struct Setting {
        int level, strategy;
    };
    for (const Setting s : {Setting{6, Z_DEFAULT_STRATEGY}, Setting{1, Z_DEFAULT_STRATEGY},
                            Setting{9, Z_DEFAULT_STRATEGY}, Setting{0, Z_DEFAULT_STRATEGY},
                            Setting{6, Z_FIXED}, Setting{6, Z_HUFFMAN_ONLY}, Setting{6, Z_RLE}}) {
        const Bytes stream = ZlibDeflate(data, s.level, 15, s.strategy);
        // Pieces of the size chosen, pieces some blocks reach over, and pieces so small
        // that every block reaches over several (none can be entered then).
        for (const std::uint64_t pieceSize :
             {std::uint64_t{0}, std::uint64_t{40000}, std::uint64_t{3000}}) {
            for (ThreadPool* helpers : {&pool, static_cast<ThreadPool*>(nullptr)}) {
                const Outcome outcome = InflateOnThreads(stream, pieceSize, helpers);
                const std::string setting = std::to_string(s.level) + "/" +
                                            std::to_string(s.strategy) + "/" +
                                            std::to_string(pieceSize);
                EXPECT_EQ(outcome.error, "") << setting;
                EXPECT_TRUE(outcome.bytes == data) << setting;
                // Only streams with blocks of their own codes can be entered in the middle.
                if (!helpers && s.strategy != Z_FIXED && s.level != 0 && pieceSize != 3000) {
                    EXPECT_GT(outcome.used, 0u) << setting;
                }
            }
        }
    }
}

TEST(ParallelInflate, DamagedStreamsFailAsOnOneThread) {
    ThreadPool pool(4);
    const Bytes stream = ZlibDeflate(MixedData(600000), 6);
    std::vector<Bytes> damaged;
    damaged.emplace_back(stream.begin(),
                         stream.begin() + static_cast<std::ptrdiff_t>(stream.size() / 2));
    for (const std::size_t at :
         {std::size_t{10}, stream.size() / 3, stream.size() * 2 / 3, stream.size() - 20}) {
        damaged.push_back(stream);
        damaged.back()[at] ^= 0x5A;
        damaged.back()[at + 1] ^= 0xC3;
    }
    damaged.emplace_back(); // nothing at all
    for (const std::uint64_t pieceSize : {std::uint64_t{0}, std::uint64_t{3000}}) {
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            const Outcome one = InflateOneThread(damaged[i]);
            const Outcome many = InflateOnThreads(damaged[i], pieceSize, &pool);
            EXPECT_EQ(many.error, one.error) << i << "/" << pieceSize;
            // The same bytes, as far as both got before the fault.
            const std::size_t common = std::min(one.bytes.size(), many.bytes.size());
            EXPECT_TRUE(
                std::equal(one.bytes.begin(), one.bytes.begin() + common, many.bytes.begin()))
                << i << "/" << pieceSize;
            if (one.error.empty()) {
                EXPECT_TRUE(one.bytes == many.bytes) << i << "/" << pieceSize;
            }
        }
    }
}

TEST(ParallelInflate, HelpersThatComeTooLateFindNothingToDo) {
    const Bytes data = MixedData(900000);
    const Bytes stream = ZlibDeflate(data, 6);
    std::vector<std::function<void()>> late;
    InflateDecoder decoder;
    MemoryInput input(stream);
    VectorOutput output;
    const InflateHelpers helpers{[&late](std::function<void()> task) { late.push_back(task); }, 3};
    EXPECT_EQ(ParallelInflate(input, decoder, output, helpers), 0u);
    EXPECT_TRUE(output.bytes == data);
    EXPECT_FALSE(late.empty());
    for (auto& task : late)
        task(); // every piece was taken back: they return at once
}
