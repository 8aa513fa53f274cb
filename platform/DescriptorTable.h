#pragma once

namespace kd {

// Grows the process's table of open files, once, to what a run may hold (up to the
// soft limit of open files). The kernel grows it on demand, doubling it; with several
// threads running, every growth waits for a grace period of the kernel (milliseconds)
// while each thread that opens a file meanwhile stands still. A run holding a few
// hundred files would pay that three times. Called first thing in main(), while the
// process has one thread and the growth costs nothing.
void ReserveDescriptorTable();

} // namespace kd
