#include "core/AdvanceTick.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/FpFlags.h"
#include "core/HalfKick.h"

#if defined(__x86_64__) && defined(__SSE2__)
#define ORBIMO_PACKED_TICK 1
#include <immintrin.h>
#endif

namespace orbimo {

namespace {

// The exact operation order matters: results must agree to the last bit.
inline void ScalarTick(SimState& s, bool stepLong) {
    const int n = s.BodyCount;
    if (stepLong) s.TimeStep = s.StepLength / std::sqrt(SquaredTopSpeed(s));
    KickInto(s, s.TimeStep, s.VelX, s.VelY);
    const double dt = s.TimeStep;
    for (int b = 1; b <= n; ++b) {
        if (s.BodyOn[b] != 1) continue;
        s.PosX[b] = dt * s.VelX[b] + s.PosX[b];
        s.PosY[b] = dt * s.VelY[b] + s.PosY[b];
    }
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
    // The clock takes this tick's step too: a tick it cannot count is no tick.
    const bool clockOverflows = !std::isfinite(s.SimTime + s.TimeStep);
    if (raised == 0 && !clockOverflows) return TickFault::None;
    s.PosX = saved.posX;
    s.PosY = saved.posY;
    s.VelX = saved.velX;
    s.VelY = saved.velY;
    s.TimeStep = saved.timeStep;
    return raised != 0 ? FaultOf(raised) : TickFault::Overflow;
}

#if ORBIMO_PACKED_TICK

// The bodies taking part, in index order, copied out of the record: a tick works on these and
// writes them back only when no flag was raised, so a fault leaves the record as it was.
// Body i is at [kFront + i]. A vector read for lanes l0.. from body j0 starts at j0 - l0, up to 7
// before body 0, and runs up to 7 past the last body: those lanes are never used, but hold
// values of the record or zeros rather than whatever the stack had.
constexpr int kFront = 8, kRoom = 32;
struct Bodies {
    int n = 0;
    bool prefix = false;  // bodies 1..n take part: the arrays are the record's, shifted by one
    int index[kBodies];
    alignas(64) double x[kRoom], y[kRoom], m[kRoom], vx[kRoom], vy[kRoom];
};

// What pair k adds to body i's velocity and subtracts from body j's, x and y side by side.
struct Pairs {
    alignas(64) double ai[2 * 56], aj[2 * 56];  // 55 pairs and the rest of their last vector
};

// Where the pairs of n bodies go in vectors of `lanes` doubles, in the loop's order (i ascending,
// then j): a segment is the pairs (i, j), (i, j + 1), ... of one row in consecutive lanes of one
// vector, so each is read with one load from the bodies' arrays.
struct Segment {
    std::int8_t i, j, lane;  // the first pair (i, j) and its lane
    std::uint8_t lanes;      // bit l: lane l belongs to the segment
};
struct PairPlan {
    int vectors = 0;
    std::uint8_t unused = 0;              // the lanes of the last vector past the last pair
    std::array<std::int8_t, 30> first{};  // vector v's segments: first[v] .. first[v + 1] - 1
    std::array<Segment, 40> segment{};
    std::array<std::int8_t, 56> i{}, j{};  // pair k is (i[k], j[k]); past the last, (0, 0)
};

constexpr PairPlan MakePlan(int n, int lanes) {
    PairPlan plan;
    int k = 0, count = 0;
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j, ++k) {
            plan.i[static_cast<std::size_t>(k)] = static_cast<std::int8_t>(i);
            plan.j[static_cast<std::size_t>(k)] = static_cast<std::int8_t>(j);
            const int lane = k % lanes;
            if (lane == 0)
                plan.first[static_cast<std::size_t>(k / lanes)] = static_cast<std::int8_t>(count);
            if (lane == 0 || j == i + 1)
                plan.segment[static_cast<std::size_t>(count++)] = {
                    static_cast<std::int8_t>(i), static_cast<std::int8_t>(j),
                    static_cast<std::int8_t>(lane), 0};
            plan.segment[static_cast<std::size_t>(count - 1)].lanes |=
                static_cast<std::uint8_t>(1u << lane);
        }
    }
    plan.vectors = (k + lanes - 1) / lanes;
    for (int lane = k % lanes; lane != 0 && lane < lanes; ++lane)
        plan.unused |= static_cast<std::uint8_t>(1u << lane);
    plan.first[static_cast<std::size_t>(plan.vectors)] = static_cast<std::int8_t>(count);
    return plan;
}

inline void Gather(const SimState& s, Bodies& b) {
    const int count = std::min<int>(s.BodyCount, kBodies);
    int n = 0;
    for (int k = 1; k <= count; ++k)
        if (s.BodyOn[k] == 1) b.index[n++] = k;
    b.n = n;
    b.prefix = n == 0 || b.index[n - 1] == n;
    for (double* a : {b.x, b.y, b.m, b.vx, b.vy}) {
        std::memset(a, 0, 8 * sizeof(double));
        std::memset(a + kFront + kBodies, 0, 8 * sizeof(double));
    }
    if (b.prefix) {
        // The common case, every body or the first few: whole arrays at once.
        constexpr std::size_t kBytes = sizeof(BodyDoubles);
        std::memcpy(b.x + kFront - 1, s.PosX.data(), kBytes);
        std::memcpy(b.y + kFront - 1, s.PosY.data(), kBytes);
        std::memcpy(b.m + kFront - 1, s.Mass.data(), kBytes);
        std::memcpy(b.vx + kFront - 1, s.VelX.data(), kBytes);
        std::memcpy(b.vy + kFront - 1, s.VelY.data(), kBytes);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const int k = b.index[i];
        b.x[kFront + i] = s.PosX[k];
        b.y[kFront + i] = s.PosY[k];
        b.m[kFront + i] = s.Mass[k];
        b.vx[kFront + i] = s.VelX[k];
        b.vy[kFront + i] = s.VelY[k];
    }
    for (double* a : {b.x, b.y, b.m, b.vx, b.vy})
        std::memset(a + kFront + n, 0, static_cast<std::size_t>(kBodies - n) * sizeof(double));
}

inline void Scatter(const Bodies& b, SimState& s) {
    if (b.prefix) {
        constexpr std::size_t kBytes = sizeof(BodyDoubles);
        std::memcpy(s.PosX.data(), b.x + kFront - 1, kBytes);
        std::memcpy(s.PosY.data(), b.y + kFront - 1, kBytes);
        std::memcpy(s.VelX.data(), b.vx + kFront - 1, kBytes);
        std::memcpy(s.VelY.data(), b.vy + kFront - 1, kBytes);
        return;
    }
    for (int i = 0; i < b.n; ++i) {
        const int k = b.index[i];
        s.PosX[k] = b.x[kFront + i];
        s.PosY[k] = b.y[kFront + i];
        s.VelX[k] = b.vx[kFront + i];
        s.VelY[k] = b.vy[kFront + i];
    }
}

inline double LargestSquaredSpeed(const Bodies& b) {
    double largest = 0;
    for (int i = kFront; i < kFront + b.n; ++i) {
        const double v2 = b.vy[i] * b.vy[i] + b.vx[i] * b.vx[i];
        if (v2 > largest) largest = v2;
    }
    return largest;
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
    ORBIMO_OP V LoadU(const double* p) { return _mm_loadu_pd(p); }
    // Two lanes are filled quicker one by one than a row segment at a time.
    static constexpr bool kOneByOne = true;
    ORBIMO_OP V Pick(const double* base, const std::int8_t* at) {
        return _mm_loadh_pd(_mm_load_sd(base + at[0]), base + at[1]);
    }
    ORBIMO_OP void StoreU(double* p, V v) { _mm_storeu_pd(p, v); }
    ORBIMO_OP V Set1(double d) { return _mm_set1_pd(d); }
    ORBIMO_OP V Add(V a, V b) { return _mm_add_pd(a, b); }
    ORBIMO_OP V Sub(V a, V b) { return _mm_sub_pd(a, b); }
    ORBIMO_OP V Mul(V a, V b) { return _mm_mul_pd(a, b); }
    ORBIMO_OP V Div(V a, V b) { return _mm_div_pd(a, b); }
    ORBIMO_OP V Sqrt(V a) { return _mm_sqrt_pd(a); }
    ORBIMO_OP Mask IsZero(V a) { return _mm_cmpeq_pd(a, _mm_setzero_pd()); }
    // Lane l is set when bit l of lanes is.
    ORBIMO_OP Mask MaskOf(unsigned lanes) {
        alignas(16) static constexpr std::int64_t kMasks[4][2] = {
            {0, 0}, {-1, 0}, {0, -1}, {-1, -1}};
        return _mm_castsi128_pd(_mm_load_si128(reinterpret_cast<const __m128i*>(kMasks[lanes])));
    }
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
// Four lanes: one AVX register.
struct Four {
    using V = __m256d;
    using Mask = __m256d;
    ORBIMO_OP V LoadU(const double* p) { return _mm256_loadu_pd(p); }
    ORBIMO_OP void StoreU(double* p, V v) { _mm256_storeu_pd(p, v); }
    ORBIMO_OP V Set1(double d) { return _mm256_set1_pd(d); }
    ORBIMO_OP V Add(V a, V b) { return _mm256_add_pd(a, b); }
    ORBIMO_OP V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
    ORBIMO_OP V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
    ORBIMO_OP V Div(V a, V b) { return _mm256_div_pd(a, b); }
    ORBIMO_OP V Sqrt(V a) { return _mm256_sqrt_pd(a); }
    ORBIMO_OP Mask IsZero(V a) { return _mm256_cmp_pd(a, _mm256_setzero_pd(), _CMP_EQ_OQ); }
    ORBIMO_OP Mask MaskOf(unsigned lanes) {
        const __m256i bit = _mm256_setr_epi64x(1, 2, 4, 8);
        const __m256i set = _mm256_and_si256(_mm256_set1_epi64x(lanes), bit);
        return _mm256_castsi256_pd(_mm256_cmpeq_epi64(set, bit));
    }
    ORBIMO_OP V Select(Mask m, V yes, V no) { return _mm256_blendv_pd(no, yes, m); }
    ORBIMO_OP void StoreXY(double* p, V x, V y) {
        const __m256d even = _mm256_unpacklo_pd(x, y), odd = _mm256_unpackhi_pd(x, y);
        _mm256_store_pd(p, _mm256_permute2f128_pd(even, odd, 0x20));
        _mm256_store_pd(p + 4, _mm256_permute2f128_pd(even, odd, 0x31));
    }
};
// Eight lanes as two halves of four: more independent work in flight than four lanes (faster
// here by a tenth), and the same plan of pairs as AVX-512, which thus runs on this processor too.
struct L {
    using A = Four;
    struct V {
        __m256d lo, hi;
    };
    using Mask = V;
    static constexpr int kLanes = 8;
    static constexpr bool kOneByOne = false;
    ORBIMO_OP V LoadU(const double* p) { return {A::LoadU(p), A::LoadU(p + 4)}; }
    ORBIMO_OP void StoreU(double* p, V v) { A::StoreU(p, v.lo), A::StoreU(p + 4, v.hi); }
    ORBIMO_OP V Set1(double d) { return {A::Set1(d), A::Set1(d)}; }
    ORBIMO_OP V Add(V a, V b) { return {A::Add(a.lo, b.lo), A::Add(a.hi, b.hi)}; }
    ORBIMO_OP V Sub(V a, V b) { return {A::Sub(a.lo, b.lo), A::Sub(a.hi, b.hi)}; }
    ORBIMO_OP V Mul(V a, V b) { return {A::Mul(a.lo, b.lo), A::Mul(a.hi, b.hi)}; }
    ORBIMO_OP V Div(V a, V b) { return {A::Div(a.lo, b.lo), A::Div(a.hi, b.hi)}; }
    ORBIMO_OP V Sqrt(V a) { return {A::Sqrt(a.lo), A::Sqrt(a.hi)}; }
    ORBIMO_OP Mask IsZero(V a) { return {A::IsZero(a.lo), A::IsZero(a.hi)}; }
    ORBIMO_OP Mask MaskOf(unsigned lanes) { return {A::MaskOf(lanes & 15), A::MaskOf(lanes >> 4)}; }
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
}  // namespace avx2

// GCC 12 takes the undefined pass-through operand of its own AVX-512 square root for a
// variable used uninitialised.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
namespace avx512 {
#define ORBIMO_TARGET [[gnu::target("avx512f")]]
struct L {
    using V = __m512d;
    using Mask = __mmask8;
    static constexpr int kLanes = 8;
    static constexpr bool kOneByOne = false;
    ORBIMO_OP V LoadU(const double* p) { return _mm512_loadu_pd(p); }
    ORBIMO_OP void StoreU(double* p, V v) { _mm512_storeu_pd(p, v); }
    ORBIMO_OP V Set1(double d) { return _mm512_set1_pd(d); }
    ORBIMO_OP V Add(V a, V b) { return _mm512_add_pd(a, b); }
    ORBIMO_OP V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
    ORBIMO_OP V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
    ORBIMO_OP V Div(V a, V b) { return _mm512_div_pd(a, b); }
    ORBIMO_OP V Sqrt(V a) { return _mm512_sqrt_pd(a); }
    ORBIMO_OP Mask IsZero(V a) { return _mm512_cmp_pd_mask(a, _mm512_setzero_pd(), _CMP_EQ_OQ); }
    ORBIMO_OP Mask MaskOf(unsigned lanes) { return static_cast<Mask>(lanes); }
    ORBIMO_OP V Select(Mask m, V yes, V no) { return _mm512_mask_blend_pd(m, no, yes); }
    // Element e of the result is x[i] for index i below 8, y[i - 8] from 8 on.
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
        case TickPath::Avx512:
            return avx512::Tick;
#endif
        default:
            return CheckedScalarTick;
    }
}

}  // namespace

const char* TickPathName(TickPath path) {
    switch (path) {
        case TickPath::Sse2:
            return "sse2";
        case TickPath::Avx2:
            return "avx2";
        case TickPath::Avx512:
            return "avx512";
        default:
            return "scalar";
    }
}

bool TickPathSupported(TickPath path) {
#if ORBIMO_PACKED_TICK
    // A static initialiser may get here before the library's own initialisation.
    static const bool init = (__builtin_cpu_init(), true);
    (void)init;
#endif
    switch (path) {
        case TickPath::Scalar:
            return true;
#if ORBIMO_PACKED_TICK
        case TickPath::Sse2:
            return true;
        case TickPath::Avx2:
            return __builtin_cpu_supports("avx2");
        case TickPath::Avx512:
            return __builtin_cpu_supports("avx512f");
#endif
        default:
            return false;
    }
}

TickFault AdvanceTickBy(TickPath path, SimState& s, bool stepLong) {
    return FunctionOf(path)(s, stepLong);
}

TickFault AdvanceTick(SimState& s, bool stepLong) {
    static const TickFunction chosen = FunctionOf(ChosenTickPath());
    return chosen(s, stepLong);
}

}  // namespace orbimo
