#pragma once
#include <cfenv>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orbimo {

// Division by zero, overflow and invalid operation, read from the SSE status word
// directly: the C library's calls also save and restore the x87 state, which costs
// more than a tick's arithmetic.
#if defined(__SSE2__)
constexpr unsigned kInvalidBit = 0x01, kZeroDivideBit = 0x04, kOverflowBit = 0x08;
inline void ClearFlags() {
    _mm_setcsr(_mm_getcsr() & ~0x3Fu);
}
inline unsigned RaisedFlags() {
    return _mm_getcsr() & (kInvalidBit | kZeroDivideBit | kOverflowBit);
}
#else
constexpr unsigned kInvalidBit = FE_INVALID, kZeroDivideBit = FE_DIVBYZERO,
                   kOverflowBit = FE_OVERFLOW;
inline void ClearFlags() {
    std::feclearexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
}
inline unsigned RaisedFlags() {
    return static_cast<unsigned>(std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID));
}
#endif

}  // namespace orbimo
