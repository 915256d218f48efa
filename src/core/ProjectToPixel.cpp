#include "core/ProjectToPixel.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__SSE2__)
#include <immintrin.h>
#define ORBIMO_PACKED_PROJECTION 1
#endif

namespace orbimo {

namespace {

unsigned ProjectEach(const SimState& s, std::array<Pixel, kSlots>& out) {
    unsigned ok = 0;
    int last = std::min<int>(s.BodyCount, kBodies);
    while (last > 0 && s.BodyOn[last] != 1) --last;
    for (int b = 0; b <= last; ++b) {
        if (const auto p = ProjectToPixel(s, b)) {
            out[static_cast<std::size_t>(b)] = *p;
            ok |= 1u << b;
        }
    }
    return ok;
}

#if ORBIMO_PACKED_PROJECTION
static_assert(kSlots == 12 && sizeof(Pixel) == 8);

// Four bodies side by side, x and y apart: the same operations as ProjectToPixel in every
// lane, then the floor and the 32-bit range test packed as well.
[[gnu::target("avx2")]] unsigned ProjectFour(const SimState& s, std::array<Pixel, kSlots>& out) {
    const int v = (s.ViewBody >= 0 && s.ViewBody <= kBodies) ? s.ViewBody : 0;
    const __m256d vx = _mm256_set1_pd(s.PosX[v]), vy = _mm256_set1_pd(s.PosY[v]);
    const __m256d zoom = _mm256_set1_pd(s.Zoom);
    const __m256d ox = _mm256_set1_pd(s.OriginX), oy = _mm256_set1_pd(s.OriginY);
    const __m256d tx = _mm256_set1_pd(static_cast<double>(s.TwipsPerPixelX));
    const __m256d ty = _mm256_set1_pd(static_cast<double>(s.TwipsPerPixelY));
    // The 3x3 marker around the pixel must stay within 32 bits, as in FloorToMarkerPixel.
    const __m256d low = _mm256_set1_pd(-2147483647.0), high = _mm256_set1_pd(2147483647.0);
    unsigned ok = 0;
    int last = std::min<int>(s.BodyCount, kBodies);
    while (last > 0 && s.BodyOn[last] != 1) --last;
    for (int b = 0; b <= last; b += 4) {
        const __m256d cx = _mm256_floor_pd(_mm256_div_pd(
            _mm256_add_pd(_mm256_div_pd(_mm256_sub_pd(_mm256_loadu_pd(&s.PosX[b]), vx), zoom), ox),
            tx));
        const __m256d cy = _mm256_floor_pd(_mm256_div_pd(
            _mm256_add_pd(_mm256_div_pd(_mm256_sub_pd(_mm256_loadu_pd(&s.PosY[b]), vy), zoom), oy),
            ty));
        // NaN fails every comparison, as in FloorToMarkerPixel.
        const __m256d fits = _mm256_and_pd(
            _mm256_and_pd(_mm256_cmp_pd(cx, low, _CMP_GE_OQ), _mm256_cmp_pd(cx, high, _CMP_LT_OQ)),
            _mm256_and_pd(_mm256_cmp_pd(cy, low, _CMP_GE_OQ), _mm256_cmp_pd(cy, high, _CMP_LT_OQ)));
        ok |= static_cast<unsigned>(_mm256_movemask_pd(fits)) << b;
        const __m128i x = _mm256_cvttpd_epi32(cx), y = _mm256_cvttpd_epi32(cy);
        auto* dst = reinterpret_cast<__m128i*>(&out[static_cast<std::size_t>(b)]);
        _mm_storeu_si128(dst, _mm_unpacklo_epi32(x, y));
        _mm_storeu_si128(dst + 1, _mm_unpackhi_epi32(x, y));
    }
    return ok;
}
#endif

using ProjectFunction = unsigned (*)(const SimState&, std::array<Pixel, kSlots>&);

ProjectFunction Choose() {
#if ORBIMO_PACKED_PROJECTION
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return ProjectFour;
#endif
    return ProjectEach;
}

}  // namespace

unsigned ProjectAll(const SimState& s, std::array<Pixel, kSlots>& out) {
    static const ProjectFunction chosen = Choose();
    return chosen(s, out);
}

}  // namespace orbimo
