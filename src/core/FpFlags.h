#pragma once
#include <cfenv>

#include "core/AdvanceTick.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orbimo {

// Division by zero, overflow and invalid operation, read from the SSE status word
// directly (AVX shares it): the C library's calls also save and restore the x87 state,
// which costs more than a tick's arithmetic.
#if defined(__SSE2__)
constexpr unsigned kInvalidBit = 0x01, kZeroDivideBit = 0x04, kOverflowBit = 0x08;
inline void ClearFlags() {
    // Writing the status word holds up the floating-point unit: only when there is something to
    // clear, which after a good tick there is not.
    const unsigned csr = _mm_getcsr();
    if (csr & (kInvalidBit | kZeroDivideBit | kOverflowBit)) _mm_setcsr(csr & ~0x3Fu);
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

/// The fault the raised flags stand for; none when none is raised.
inline TickFault FaultOf(unsigned raised) {
    if (raised == 0) return TickFault::None;
    if (raised & kZeroDivideBit) return TickFault::DivisionByZero;
    if (raised & kOverflowBit) return TickFault::Overflow;
    return TickFault::Invalid;
}

}  // namespace orbimo
