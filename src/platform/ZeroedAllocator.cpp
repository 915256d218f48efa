#include "platform/ZeroedAllocator.h"

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>
#endif

namespace orbimo {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Rounded up to whole huge pages: the mapping's length.
std::size_t Mapped(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
}  // namespace

void* AllocateZeroed(std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kHugePage) {
        // Mapped with a huge page's room to spare, then trimmed to start on one.
        const std::size_t length = Mapped(bytes);
        void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > start) ::munmap(raw, aligned - start);
        if (const std::size_t tail = start + length + kHugePage - (aligned + length); tail > 0)
            ::munmap(reinterpret_cast<void*>(aligned + length), tail);
        ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);  // a hint
        return reinterpret_cast<void*>(aligned);
    }
#endif
    void* p = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void FreeZeroed(void* p, std::size_t bytes) noexcept {
    if (!p) return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kHugePage) {
        ::munmap(p, Mapped(bytes));
        return;
    }
#endif
    std::free(p);
}

}  // namespace orbimo
