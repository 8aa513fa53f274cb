#include "platform/MemoryPolicy.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kd {

void ReturnLargeBlocksToTheSystem() {
#if defined(__GLIBC__)
    // Blocks of a mebibyte or more come straight from the system and go straight back;
    // a fixed threshold also stops the allocator from raising it after such a free.
    constexpr int kLargeBlock = 1 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
#endif
}

} // namespace kd
