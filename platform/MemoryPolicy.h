#pragma once

namespace kd {

// Makes the C library give large blocks back to the system when they are freed. A
// backup's worker threads each hold whole files and their compressed data for a
// moment; left to itself the allocator keeps what they freed in per-thread pools, and
// the program's memory grows with the number of threads rather than with what is in
// use. Called once, first thing in main().
void ReturnLargeBlocksToTheSystem();

} // namespace kd
