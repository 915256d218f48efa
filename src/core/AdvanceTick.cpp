#include "core/AdvanceTick.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <utility>

#if defined(__x86_64__) && defined(__SSE2__)
#define ORBIMO_PACKED_TICK 1
#include <immintrin.h>
#endif

namespace orbimo {

namespace {

// The exact operation order matters: results must agree to the last bit.
inline void ScalarTick(SimState& s, bool stepLong) {
    const int n = s.BodyCount;
    if (stepLong) {
        double largest = 0;
        for (int b = 1; b <= n; ++b) {
            if (s.BodyOn[b] != 1) continue;
            const double v2 = s.VelY[b] * s.VelY[b] + s.VelX[b] * s.VelX[b];
            if (v2 > largest) largest = v2;
        }
        s.TimeStep = s.StepLength / std::sqrt(largest);
    }
    const double gdt = s.GravConst * s.TimeStep;
    for (int i = 1; i <= n; ++i) {
        if (s.BodyOn[i] != 1) continue;
        for (int j = i + 1; j <= n; ++j) {
            if (s.BodyOn[j] != 1) continue;
            const double dx = s.PosX[j] - s.PosX[i];
            const double dy = s.PosY[j] - s.PosY[i];
            const double r2 = dy * dy + dx * dx;
            if (r2 == 0) continue;  // two bodies at one point exert nothing that tick
            const double r = std::sqrt(r2);
            const double ux = dx / r;
            const double uy = dy / r;
            double k = gdt * s.Mass[j] / r2;
            s.VelX[i] = k * ux + s.VelX[i];
            s.VelY[i] = k * uy + s.VelY[i];
            k = gdt * s.Mass[i] / r2;
            s.VelX[j] = s.VelX[j] - k * ux;
            s.VelY[j] = s.VelY[j] - k * uy;
        }
    }
    const double dt = s.TimeStep;
    for (int b = 1; b <= n; ++b) {
        if (s.BodyOn[b] != 1) continue;
        s.PosX[b] = dt * s.VelX[b] + s.PosX[b];
        s.PosY[b] = dt * s.VelY[b] + s.PosY[b];
    }
}

// Division by zero, overflow and invalid operation, read from the SSE status word
// directly (AVX shares it): the C library's calls also save and restore the x87 state,
// which costs more than a tick's arithmetic.
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

inline TickFault FaultOf(unsigned raised) {
    if (raised & kZeroDivideBit) return TickFault::DivisionByZero;
    if (raised & kOverflowBit) return TickFault::Overflow;
    return TickFault::Invalid;
}

struct Saved {
    BodyDoubles posX, posY, velX, velY;
    double timeStep;
};

TickFault CheckedScalarTick(SimState& s, bool stepLong) {
    const Saved saved{s.PosX, s.PosY, s.VelX, s.VelY, s.TimeStep};
    ClearFlags();
    ScalarTick(s, stepLong);
    const unsigned raised = RaisedFlags();
    if (raised == 0) return TickFault::None;
    s.PosX = saved.posX;
    s.PosY = saved.posY;
    s.VelX = saved.velX;
    s.VelY = saved.velY;
    s.TimeStep = saved.timeStep;
    return FaultOf(raised);
}

#if ORBIMO_PACKED_TICK

// The bodies taking part, in index order, copied out of the record: a tick works on these and
// writes them back only when no flag was raised, so a fault leaves the record as it was.
constexpr int kRowRoom = 24;  // a row read a vector at a time runs up to 7 past the last body
struct Bodies {
    int n = 0;
    int index[kBodies];
    alignas(64) double x[kRowRoom], y[kRowRoom], m[kRowRoom];
    alignas(16) double v[kBodies][2];  // x and y velocity side by side
};

constexpr int kPairRoom = 64;  // 55 pairs, a vector past them and the rows' overrun
struct Pairs {
    alignas(64) double dx[kPairRoom], dy[kPairRoom], mi[kPairRoom], mj[kPairRoom];
    // What pair k adds to body i's velocity and subtracts from body j's, x and y side by side.
    alignas(64) double ai[2 * kPairRoom], aj[2 * kPairRoom];
};

inline void Gather(const SimState& s, Bodies& b) {
    const int count = std::min<int>(s.BodyCount, kBodies);
    int n = 0;
    for (int k = 1; k <= count; ++k) {
        if (s.BodyOn[k] != 1) continue;
        b.index[n] = k;
        b.x[n] = s.PosX[k];
        b.y[n] = s.PosY[k];
        b.m[n] = s.Mass[k];
        b.v[n][0] = s.VelX[k];
        b.v[n][1] = s.VelY[k];
        ++n;
    }
    b.n = n;
    for (int k = 0; k < 8; ++k) b.x[n + k] = b.y[n + k] = b.m[n + k] = 0;  // read past a row
}

inline void Scatter(const Bodies& b, SimState& s) {
    for (int i = 0; i < b.n; ++i) {
        const int k = b.index[i];
        s.PosX[k] = b.x[i];
        s.PosY[k] = b.y[i];
        s.VelX[k] = b.v[i][0];
        s.VelY[k] = b.v[i][1];
    }
}

inline double LargestSquaredSpeed(const Bodies& b) {
    double largest = 0;
    for (int i = 0; i < b.n; ++i) {
        const double v2 = b.v[i][1] * b.v[i][1] + b.v[i][0] * b.v[i][0];
        if (v2 > largest) largest = v2;
    }
    return largest;
}

inline void Drift(Bodies& b, double dt) {
    for (int i = 0; i < b.n; ++i) {
        b.x[i] = dt * b.v[i][0] + b.x[i];
        b.y[i] = dt * b.v[i][1] + b.y[i];
    }
}

// Each instruction set's lanes: the vector V of kLanes doubles, its Mask and the operations
// the kernel uses, each one instruction (or two for halves).
#define ORBIMO_OP [[gnu::always_inline]] ORBIMO_TARGET static

namespace sse2 {
#define ORBIMO_TARGET
struct L {
    using V = __m128d;
    using Mask = __m128d;
    static constexpr int kLanes = 2;
    ORBIMO_OP V Load(const double* p) { return _mm_load_pd(p); }
    ORBIMO_OP V LoadU(const double* p) { return _mm_loadu_pd(p); }
    ORBIMO_OP void StoreU(double* p, V v) { _mm_storeu_pd(p, v); }
    ORBIMO_OP V Set1(double d) { return _mm_set1_pd(d); }
    ORBIMO_OP V Add(V a, V b) { return _mm_add_pd(a, b); }
    ORBIMO_OP V Sub(V a, V b) { return _mm_sub_pd(a, b); }
    ORBIMO_OP V Mul(V a, V b) { return _mm_mul_pd(a, b); }
    ORBIMO_OP V Div(V a, V b) { return _mm_div_pd(a, b); }
    ORBIMO_OP V Sqrt(V a) { return _mm_sqrt_pd(a); }
    ORBIMO_OP Mask IsZero(V a) { return _mm_cmpeq_pd(a, _mm_setzero_pd()); }
    ORBIMO_OP V Select(Mask m, V yes, V no) {
        return _mm_or_pd(_mm_and_pd(m, yes), _mm_andnot_pd(m, no));
    }
    // x0 y0 x1 y1 ...
    ORBIMO_OP void StoreXY(double* p, V x, V y) {
        _mm_store_pd(p, _mm_unpacklo_pd(x, y));
        _mm_store_pd(p + 2, _mm_unpackhi_pd(x, y));
    }
};
#include "core/TickKernel.inc"
#undef ORBIMO_TARGET
}  // namespace sse2

namespace avx2 {
#define ORBIMO_TARGET [[gnu::target("avx2")]]
struct L {
    using V = __m256d;
    using Mask = __m256d;
    static constexpr int kLanes = 4;
    ORBIMO_OP V Load(const double* p) { return _mm256_load_pd(p); }
    ORBIMO_OP V LoadU(const double* p) { return _mm256_loadu_pd(p); }
    ORBIMO_OP void StoreU(double* p, V v) { _mm256_storeu_pd(p, v); }
    ORBIMO_OP V Set1(double d) { return _mm256_set1_pd(d); }
    ORBIMO_OP V Add(V a, V b) { return _mm256_add_pd(a, b); }
    ORBIMO_OP V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
    ORBIMO_OP V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
    ORBIMO_OP V Div(V a, V b) { return _mm256_div_pd(a, b); }
    ORBIMO_OP V Sqrt(V a) { return _mm256_sqrt_pd(a); }
    ORBIMO_OP Mask IsZero(V a) { return _mm256_cmp_pd(a, _mm256_setzero_pd(), _CMP_EQ_OQ); }
    ORBIMO_OP V Select(Mask m, V yes, V no) { return _mm256_blendv_pd(no, yes, m); }
    ORBIMO_OP void StoreXY(double* p, V x, V y) {
        const __m256d even = _mm256_unpacklo_pd(x, y), odd = _mm256_unpackhi_pd(x, y);
        _mm256_store_pd(p, _mm256_permute2f128_pd(even, odd, 0x20));
        _mm256_store_pd(p + 4, _mm256_permute2f128_pd(even, odd, 0x31));
    }
};
#include "core/TickKernel.inc"
#undef ORBIMO_TARGET
}  // namespace avx2

// Eight lanes as two halves of four: the same eight-lane code as AVX-512 takes, on processors
// that only have AVX2, so that the eight-lane rows, tails and skipped lanes run here too.
namespace avx2x8 {
#define ORBIMO_TARGET [[gnu::target("avx2")]]
struct L {
    using A = avx2::L;
    struct V {
        __m256d lo, hi;
    };
    using Mask = V;
    static constexpr int kLanes = 8;
    ORBIMO_OP V Load(const double* p) { return {A::Load(p), A::Load(p + 4)}; }
    ORBIMO_OP V LoadU(const double* p) { return {A::LoadU(p), A::LoadU(p + 4)}; }
    ORBIMO_OP void StoreU(double* p, V v) { A::StoreU(p, v.lo), A::StoreU(p + 4, v.hi); }
    ORBIMO_OP V Set1(double d) { return {A::Set1(d), A::Set1(d)}; }
    ORBIMO_OP V Add(V a, V b) { return {A::Add(a.lo, b.lo), A::Add(a.hi, b.hi)}; }
    ORBIMO_OP V Sub(V a, V b) { return {A::Sub(a.lo, b.lo), A::Sub(a.hi, b.hi)}; }
    ORBIMO_OP V Mul(V a, V b) { return {A::Mul(a.lo, b.lo), A::Mul(a.hi, b.hi)}; }
    ORBIMO_OP V Div(V a, V b) { return {A::Div(a.lo, b.lo), A::Div(a.hi, b.hi)}; }
    ORBIMO_OP V Sqrt(V a) { return {A::Sqrt(a.lo), A::Sqrt(a.hi)}; }
    ORBIMO_OP Mask IsZero(V a) { return {A::IsZero(a.lo), A::IsZero(a.hi)}; }
    ORBIMO_OP V Select(Mask m, V yes, V no) {
        return {A::Select(m.lo, yes.lo, no.lo), A::Select(m.hi, yes.hi, no.hi)};
    }
    ORBIMO_OP void StoreXY(double* p, V x, V y) {
        A::StoreXY(p, x.lo, y.lo);
        A::StoreXY(p + 8, x.hi, y.hi);
    }
};
#include "core/TickKernel.inc"
#undef ORBIMO_TARGET
}  // namespace avx2x8

// GCC 12 takes the undefined pass-through operand of its own AVX-512 square root for a
// variable that may be used uninitialised.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
namespace avx512 {
#define ORBIMO_TARGET [[gnu::target("avx512f")]]
struct L {
    using V = __m512d;
    using Mask = __mmask8;
    static constexpr int kLanes = 8;
    ORBIMO_OP V Load(const double* p) { return _mm512_load_pd(p); }
    ORBIMO_OP V LoadU(const double* p) { return _mm512_loadu_pd(p); }
    ORBIMO_OP void StoreU(double* p, V v) { _mm512_storeu_pd(p, v); }
    ORBIMO_OP V Set1(double d) { return _mm512_set1_pd(d); }
    ORBIMO_OP V Add(V a, V b) { return _mm512_add_pd(a, b); }
    ORBIMO_OP V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
    ORBIMO_OP V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
    ORBIMO_OP V Div(V a, V b) { return _mm512_div_pd(a, b); }
    ORBIMO_OP V Sqrt(V a) { return _mm512_sqrt_pd(a); }
    ORBIMO_OP Mask IsZero(V a) { return _mm512_cmp_pd_mask(a, _mm512_setzero_pd(), _CMP_EQ_OQ); }
    ORBIMO_OP V Select(Mask m, V yes, V no) { return _mm512_mask_blend_pd(m, no, yes); }
    // Element e of the index takes x[e] below 8 and y[e - 8] from 8 on.
    ORBIMO_OP void StoreXY(double* p, V x, V y) {
        _mm512_store_pd(p,
                        _mm512_permutex2var_pd(x, _mm512_setr_epi64(0, 8, 1, 9, 2, 10, 3, 11), y));
        _mm512_store_pd(
            p + 8, _mm512_permutex2var_pd(x, _mm512_setr_epi64(4, 12, 5, 13, 6, 14, 7, 15), y));
    }
};
#include "core/TickKernel.inc"
#undef ORBIMO_TARGET
}  // namespace avx512
#pragma GCC diagnostic pop

#undef ORBIMO_OP

#endif  // ORBIMO_PACKED_TICK

using TickFunction = TickFault (*)(SimState&, bool);

TickFunction FunctionOf(TickPath path) {
    switch (path) {
#if ORBIMO_PACKED_TICK
        case TickPath::Sse2:
            return sse2::Tick;
        case TickPath::Avx2:
            return avx2::Tick;
        case TickPath::Avx2Eight:
            return avx2x8::Tick;
        case TickPath::Avx512:
            return avx512::Tick;
#endif
        default:
            return CheckedScalarTick;
    }
}

TickPath Choose() {
#if ORBIMO_PACKED_TICK
    __builtin_cpu_init();  // a static initialiser may get here before the library's own
#endif
    for (TickPath p : {TickPath::Avx512, TickPath::Avx2, TickPath::Sse2})
        if (TickPathSupported(p)) return p;
    return TickPath::Scalar;
}

}  // namespace

const char* TickPathName(TickPath path) {
    switch (path) {
        case TickPath::Sse2:
            return "sse2";
        case TickPath::Avx2:
            return "avx2";
        case TickPath::Avx2Eight:
            return "avx2x8";
        case TickPath::Avx512:
            return "avx512";
        default:
            return "scalar";
    }
}

bool TickPathSupported(TickPath path) {
    switch (path) {
        case TickPath::Scalar:
            return true;
#if ORBIMO_PACKED_TICK
        case TickPath::Sse2:
            return true;
        case TickPath::Avx2:
        case TickPath::Avx2Eight:
            return __builtin_cpu_supports("avx2");
        case TickPath::Avx512:
            return __builtin_cpu_supports("avx512f");
#endif
        default:
            return false;
    }
}

TickPath ChosenTickPath() {
    static const TickPath chosen = Choose();
    return chosen;
}

TickFault AdvanceTickBy(TickPath path, SimState& s, bool stepLong) {
    return FunctionOf(path)(s, stepLong);
}

TickFault AdvanceTick(SimState& s, bool stepLong) {
    static const TickFunction chosen = FunctionOf(ChosenTickPath());
    return chosen(s, stepLong);
}

}  // namespace orbimo
