#pragma once
#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace orbimo {

/// Memory from calloc, which takes large blocks fresh from the system, already zero and not yet
/// touched: a screen-sized buffer made with it costs nothing until it is written. Elements
/// constructed without a value are left as calloc made them, so a buffer must be made anew
/// (never grown back into memory it used before) to be all zero.
template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        void* p = std::calloc(n, sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
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
