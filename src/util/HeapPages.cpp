#include "HeapPages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__)
#define TARVIK_HUGE_HEAP_PAGES 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tarvik {

#ifdef TARVIK_HUGE_HEAP_PAGES

void PreferHugeHeapPages()
{
    constexpr size_t Step = size_t{32} << 20;
    constexpr uintptr_t HugePage = uintptr_t{2} << 20;
    // The heap then grows, and keeps when freed, this much beyond the need.
    if (mallopt(M_TOP_PAD, static_cast<int>(Step)) == 0)
        return;
    // Read buffers of a megabyte come from it too, not from pages of their own.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    // Grow it now with blocks too small to be mapped on their own, and mark
    // what it spans: a later growth would be a new region without the mark.
    const auto before = reinterpret_cast<uintptr_t>(sbrk(0));
    void* blocks[64] = {};
    size_t count = 0;
    while (count < 64 && reinterpret_cast<uintptr_t>(sbrk(0)) == before)
        blocks[count++] = std::malloc(64 * 1024);
    const auto after = reinterpret_cast<uintptr_t>(sbrk(0));
    for (size_t i = 0; i < count; ++i)
        std::free(blocks[i]);
    const uintptr_t begin = (before + HugePage - 1) & ~(HugePage - 1);
    if (after > begin + HugePage)
        madvise(reinterpret_cast<void*>(begin), after - begin, MADV_HUGEPAGE);
}

#else

void PreferHugeHeapPages() {}

#endif

} // namespace tarvik
