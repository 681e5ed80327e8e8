#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

// Replacing the global operator new is the one way to see every allocation;
// it lives in the benchmark only, never in the program.
std::atomic<uint64_t> allocations{0};
std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};

// Each block carries its size in front, so that a free knows what it gives back.
constexpr std::size_t Header = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    auto* block = static_cast<unsigned char*>(std::malloc(size + Header));
    if (!block)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const int64_t live =
        liveBytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed) +
        static_cast<int64_t>(size);
    int64_t peak = peakBytes.load(std::memory_order_relaxed);
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
    return block + Header;
}

void Free(void* p) noexcept
{
    if (!p)
        return;
    unsigned char* block = static_cast<unsigned char*>(p) - Header;
    liveBytes.fetch_sub(static_cast<int64_t>(*reinterpret_cast<std::size_t*>(block)),
                        std::memory_order_relaxed);
    std::free(block);
}

} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    Free(p);
}
void operator delete[](void* p) noexcept
{
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    Free(p);
}

namespace tarvik::bench {

uint64_t AllocationCount()
{
    return allocations.load(std::memory_order_relaxed);
}

int64_t LiveBytes()
{
    return liveBytes.load(std::memory_order_relaxed);
}

int64_t PeakBytes()
{
    return peakBytes.load(std::memory_order_relaxed);
}

void ResetPeakBytes()
{
    peakBytes.store(liveBytes.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

} // namespace tarvik::bench
