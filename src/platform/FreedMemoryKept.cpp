#include "platform/FreedMemoryKept.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lw {

#if defined(__GLIBC__)

namespace {

// The C library's own first settings: blocks from 128 KB get their own mapping, and more than
// 128 KB free at the top of the heap goes back to the system.
constexpr int initialMmapThreshold = 128 * 1024;
constexpr int initialTrimThreshold = 128 * 1024;

} // namespace

void FreedMemoryKept::mapLargeBlocksApart()
{
    mallopt(M_MMAP_THRESHOLD, initialMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, initialTrimThreshold);
}

FreedMemoryKept::FreedMemoryKept()
{
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

FreedMemoryKept::~FreedMemoryKept()
{
    mapLargeBlocksApart();
    malloc_trim(0);
}

#else

void FreedMemoryKept::mapLargeBlocksApart() {}
FreedMemoryKept::FreedMemoryKept() = default;
FreedMemoryKept::~FreedMemoryKept() = default;

#endif

} // namespace lw
