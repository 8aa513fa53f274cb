#pragma once
#include <cstdint>
#include <string>

#include "support/TempDir.h"
#include "zip/support/ZipWriterTestSupport.h"

// A writer whose events are written down, for comparing runs on different thread
// counts.
namespace kd::test {

// A tree under t/tree of the kinds of file a run meets: empty, tiny, text, random,
// repetitive, stored by rule (packed.zip), and two (text.txt, large.bin) larger than
// kRecordedBound.
void writeMixedTree(const TempDir& t);

inline constexpr std::uint64_t kRecordedBound = 100000;

// A writer of t/<archive> over t/tree (paths relative to it, "*.zip" stored) on the
// given threads and memory bound, recording every event, in order, one line each.
struct RecordedWriter {
    RecordedWriter(TempDir& dir, const std::string& archive, int threads,
                   std::uint64_t bound = kRecordedBound);

    TempDir& t;
    WriterBench bench{t};
    std::string log;
};

} // namespace kd::test
