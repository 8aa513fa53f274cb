#pragma once

namespace kd {

// Grows the process's table of open files, once, to what a run may hold, raising the
// soft limit of open files towards it where the hard limit allows. The kernel grows
// the table on demand, doubling it; with several threads running, every growth waits
// for a grace period of the kernel (milliseconds) while each thread that opens a file
// meanwhile stands still, and a run holding several hundred files would pay that
// again and again. Called first thing in main(), while the process has one thread and
// the growth costs nothing.
void ReserveDescriptorTable();

} // namespace kd
