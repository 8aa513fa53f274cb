// Compressing data held in memory on several threads gives exactly what the streaming
// compressor gives, whatever the threads, the split and the data.
#include "zip/deflate/Deflater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace kd;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Result {
    Bytes data;
    std::uint64_t size = 0;
    std::uint16_t method = 0, flags = 0, text = 0;
    std::vector<std::size_t> reads;

    bool operator==(const Result&) const = default;
};

// The streaming compressor, fed in full pieces as a file is read.
Result streamed(const Bytes& input, int level) {
    Deflater deflater;
    Result out;
    DeflateEntry entry;
    std::size_t offset = 0;
    out.size = deflater.DeflateStream(
        [&](std::uint8_t* buffer, std::size_t wanted) {
            const std::size_t n = std::min(wanted, input.size() - offset);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer);
            offset += n;
            if (n > 0)
                out.reads.push_back(n);
            return n;
        },
        [&](const std::uint8_t* bytes, std::size_t n) {
            out.data.insert(out.data.end(), bytes, bytes + n);
        },
        level, entry);
    out.method = entry.Method;
    out.flags = entry.Flags;
    out.text = entry.InternalAttributes;
    return out;
}

Result inMemory(const Bytes& input, int level, int threads, std::uint64_t segment,
                const std::atomic<bool>& cancel = false, std::uint64_t rank = 0) {
    Bytes padded(input);
    padded.resize(input.size() + DeflateReadSlack, 0xA5);
    Deflater deflater;
    deflater.SetSegmentSize(segment);
    deflater.SetHelperRank(rank);
    Result out;
    DeflateEntry entry;
    out.size = deflater.DeflateInMemory(
        padded.data(), input.size(), level, threads,
        [&](const std::uint8_t* bytes, std::size_t n) {
            out.data.insert(out.data.end(), bytes, bytes + n);
        },
        entry, [&](std::size_t n) { out.reads.push_back(n); }, cancel);
    out.method = entry.Method;
    out.flags = entry.Flags;
    out.text = entry.InternalAttributes;
    return out;
}

Bytes fileBytes(const std::string& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(std::min(bytes.size(), limit));
    return bytes;
}

// Text, machine code, noise that is stored, long runs and repeats near the window's
// reach, in stretches that make blocks of every kind.
Bytes mixedData() {
    std::mt19937 random(7);
    Bytes data;
    const Bytes text = fileBytes("/usr/include/c++/12/bits/stl_algo.h", 120'000);
    const Bytes code = fileBytes("/proc/self/exe", 150'000);
    auto append = [&](const Bytes& part) { data.insert(data.end(), part.begin(), part.end()); };
    append(text);
    append(code);
    for (int i = 0; i < 90'000; ++i)
        data.push_back(static_cast<std::uint8_t>(random()));
    data.insert(data.end(), 70'000, 0);
    Bytes period(32'700);
    for (auto& b : period)
        b = static_cast<std::uint8_t>(random() % 4);
    append(period);
    append(period);
    append(text);
    for (int i = 0; i < 40'000; ++i)
        data.push_back(static_cast<std::uint8_t>("abcab"[random() % 5]));
    append(code);
    return data;
}

TEST(DeflateInMemory, SameBytesAsStreamingForEveryLevelSplitAndThreadCount) {
    const Bytes data = mixedData();
    struct Case {
        int level;
        std::uint64_t segment;
        int threads;
    };
    // Every lazy level; tiny parts (joined again and again) and large ones.
    const Case cases[] = {{4, 40'000, 3}, {5, 40'000, 3},  {6, 40'000, 3},
                          {7, 40'000, 3}, {8, 40'000, 3},  {9, 40'000, 3},
                          {6, 3'000, 5},  {6, 131'072, 2}, {9, 131'072, 8}};
    for (const Case& c : cases)
        EXPECT_TRUE(inMemory(data, c.level, c.threads, c.segment) == streamed(data, c.level))
            << "level " << c.level << ", parts of " << c.segment << ", " << c.threads << " threads";
}

TEST(DeflateInMemory, SameBytesForDataThatMostlyStaysStoredOrRepeats) {
    std::mt19937 random(11);
    Bytes noise(300'000);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    const Bytes zeros(260'001, 0);
    for (const Bytes* data : {static_cast<const Bytes*>(&noise), &zeros})
        for (const int level : {5, 6, 9})
            EXPECT_TRUE(inMemory(*data, level, 4, 25'000) == streamed(*data, level));
}

TEST(DeflateInMemory, SmallDataAndFastLevelsTakeTheStreamingRoad) {
    const Bytes data = mixedData();
    const Bytes small(data.begin(), data.begin() + 1000);
    EXPECT_TRUE(inMemory(small, 6, 4, 40'000) == streamed(small, 6));
    EXPECT_TRUE(inMemory(data, 2, 4, 40'000) == streamed(data, 2));
    EXPECT_TRUE(inMemory(data, 0, 4, 40'000) == streamed(data, 0));
    EXPECT_TRUE(inMemory({}, 6, 4, 40'000) == streamed({}, 6));
}

TEST(DeflateInMemory, CancelStopsWithAnErrorAndLeavesNoThreadBehind) {
    const Bytes data = mixedData();
    const std::atomic<bool> cancel = true;
    EXPECT_THROW(inMemory(data, 6, 4, 40'000, cancel), EDeflateCanceled);
    // The helpers went back to the budget: a run after it still uses them.
    EXPECT_TRUE(inMemory(data, 6, 4, 40'000) == streamed(data, 6));
}

TEST(DeflateInMemory, SeveralAtOnceOfEveryRankFinishWithTheSameBytes) {
    // Only the first-ranked get helpers: the others parse alone, take helpers up when
    // those before them end, and give them back when one ranked before them starts.
    const Bytes data = mixedData();
    const Result expected = streamed(data, 6);
    std::vector<Result> results(6);
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < results.size(); ++i)
            threads.emplace_back(
                [&, i] { results[i] = inMemory(data, 6, 4, 20'000, false, results.size() - i); });
    }
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_TRUE(results[i] == expected) << "compression " << i;
}

} // namespace
