#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

#include <sys/mman.h>

// Allocates large arrays of plot points in huge pages where the system gives
// them on request. A frame reads a few values in many places of such arrays;
// with every place in a small page of its own, each read would first walk
// the page tables.
template <typename T>
struct PointAllocator
{
    using value_type = T;
    // Below this an array gains nothing from huge pages.
    static constexpr std::size_t Large = std::size_t(3) << 19; // 1.5 MB: rounding wastes a third at most
    static constexpr std::size_t Huge = std::size_t(2) << 20;

    PointAllocator() = default;
    template <typename U>
    PointAllocator(const PointAllocator<U> &) noexcept
    {
    }

    T *allocate(std::size_t Count)
    {
        const std::size_t bytes = Count * sizeof(T);
        if (bytes < Large)
            return std::allocator<T>().allocate(Count);
        const std::size_t rounded = (bytes + Huge - 1) / Huge * Huge;
        void *p = std::aligned_alloc(Huge, rounded);
        if (!p)
            throw std::bad_alloc();
        // Before the first touch, so that the pages are huge from the start.
        madvise(p, rounded, MADV_HUGEPAGE);
        return static_cast<T *>(p);
    }
    void deallocate(T *Pointer, std::size_t Count) noexcept
    {
        if (Count * sizeof(T) < Large)
            std::allocator<T>().deallocate(Pointer, Count);
        else
            std::free(Pointer);
    }
    template <typename U>
    bool operator==(const PointAllocator<U> &) const noexcept
    {
        return true;
    }
};
