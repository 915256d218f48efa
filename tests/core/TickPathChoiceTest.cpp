#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/TickPathChoice.h"

namespace orbimo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
using P = TickPath;

// Millions of ticks a second as a processor might measure them.
struct Row {
    const char* what;
    std::vector<PathSpeed> speeds;
    TickPath chosen;
};
// clang-format off
const Row kRows[] = {
    {"a Xeon whose widest path is the slowest packed one",
     {{P::Scalar, 2.21}, {P::Sse2, 3.61}, {P::Avx2, 3.37}, {P::Avx512, 3.13}}, P::Sse2},
    {"the widest is the fastest",
     {{P::Scalar, 2.3}, {P::Sse2, 3.3}, {P::Avx2, 4.8}, {P::Avx512, 6.4}}, P::Avx512},
    {"within noise of a wider one: the narrower", {{P::Sse2, 3.6}, {P::Avx2, 3.7}}, P::Sse2},
    {"just beyond noise: the wider", {{P::Sse2, 3.5}, {P::Avx2, 3.7}}, P::Avx2},
    {"a failed, a negative and a NaN measurement do not count",
     {{P::Scalar, 1.0}, {P::Sse2, 0}, {P::Avx2, -5}, {P::Avx512, kNaN}}, P::Scalar},
    {"an infinite measurement is a failed one", {{P::Sse2, 3.0}, {P::Avx2, kInf}}, P::Sse2},
    {"a single path", {{P::Scalar, 2.0}}, P::Scalar},
    {"nothing measured: SSE2, which every x86-64 processor runs well",
     {{P::Scalar, 0}, {P::Sse2, 0}, {P::Avx2, kNaN}}, P::Sse2},
    {"nothing measured and no SSE2: the first listed", {{P::Scalar, 0}}, P::Scalar},
    {"no path at all", {}, P::Scalar}};
// clang-format on

TEST(TickPathChoice, TheNarrowestOfTheFastestFromMeasuredSpeeds) {
    for (const Row& row : kRows) EXPECT_EQ(FastestTickPath(row.speeds), row.chosen) << row.what;
}

TEST(TickPathChoice, MeasuresEverySupportedPathOnceAndNamesOnlySupportedOnes) {
    const std::vector<PathSpeed> speeds = MeasureTickPaths(200, 3);
    std::size_t supported = 0;
    for (TickPath p : kTickPaths) {
        if (!TickPathSupported(p)) {
            EXPECT_FALSE(SupportedTickPathNamed(TickPathName(p))) << TickPathName(p);
            continue;
        }
        ++supported;
        EXPECT_EQ(SupportedTickPathNamed(TickPathName(p)), p);
        int seen = 0;
        for (const PathSpeed& s : speeds)
            if (s.path == p) {
                ++seen;
                EXPECT_GT(s.ticksPerSecond, 0) << TickPathName(p);
            }
        EXPECT_EQ(seen, 1) << TickPathName(p);
    }
    EXPECT_EQ(speeds.size(), supported);
    for (const char* name : {"", "SSE2", "fastest", "sse2 "})
        EXPECT_FALSE(SupportedTickPathNamed(name));
}

}  // namespace
}  // namespace orbimo
