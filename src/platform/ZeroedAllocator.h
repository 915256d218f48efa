#pragma once
#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace orbimo {

/// Memory the system hands out already zero and not yet touched: a screen-sized buffer made
/// with it costs nothing until it is written. Large buffers come in huge pages where the system
/// has them, so that the few rows a marker touches do not each cost the processor a page-table
/// walk. Elements constructed without a value are left as they came, so a buffer must be made
/// anew (never grown back into memory it used before) to be all zero.
void* AllocateZeroed(std::size_t bytes);
void FreeZeroed(void* p, std::size_t bytes) noexcept;

template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateZeroed(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { FreeZeroed(p, n * sizeof(T)); }
    template <class U>
    void construct(U*) noexcept {}
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace orbimo
