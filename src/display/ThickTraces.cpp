#include "display/ThickTraces.h"

#include <algorithm>
#include <cstring>

#include "platform/MemorySurface.h"

namespace orbimo {

void DrawThickTraces(const PixelOwnerGrid& owners, const std::array<Colour, kSlots>& colours,
                     int width, int left, int top, int right, int bottom, std::uint32_t* out,
                     std::size_t stride) {
    if (width <= 1) return;
    // A trace pixel at x covers x - before .. x + after.
    const int before = (width - 1) / 2, after = width / 2;
    std::array<std::uint32_t, kSlots> words{};
    for (int b = 1; b < kSlots; ++b)
        words[static_cast<std::size_t>(b)] =
            MemorySurface::ToWord(colours[static_cast<std::size_t>(b)]);
    const int x0 = std::max(left - after, 0), x1 = std::min(right + before, owners.LastColumn());
    const int y0 = std::max(top - after, 0), y1 = std::min(bottom + before, owners.LastRow());
    const std::size_t rows = static_cast<std::size_t>(owners.LastRow() + 1);
    for (int x = x0; x <= x1; ++x) {  // columns outer, as the map is stored
        const std::uint8_t* column = owners.Cells().data() + static_cast<std::size_t>(x) * rows;
        for (int y = y0; y <= y1; ++y) {
            // Most of the map is empty: passed over sixteen cells at a time.
            if (y + 16 <= y1 + 1) {
                std::uint64_t w[2];
                std::memcpy(w, column + y, sizeof w);
                if ((w[0] | w[1]) == 0) {
                    y += 15;
                    continue;
                }
            }
            const std::uint8_t b = column[y];
            if (b == 0 || b > kBodies) continue;
            const int l = std::max(x - before, left), r = std::min(x + after, right);
            const int t = std::max(y - before, top), d = std::min(y + after, bottom);
            for (int py = t; py <= d; ++py)
                std::fill(out + static_cast<std::size_t>(py - top) * stride + (l - left),
                          out + static_cast<std::size_t>(py - top) * stride + (r - left) + 1,
                          words[b]);
        }
    }
}

}  // namespace orbimo
