#include "platform/FreedMemoryKept.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lw {

#if defined(__GLIBC__)

void FreedMemoryKept::mapLargeBlocksApart()
{
    constexpr int largeBlock = 4 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, largeBlock);
    mallopt(M_TRIM_THRESHOLD, 2 * largeBlock);
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
