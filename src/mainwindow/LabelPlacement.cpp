#include "mainwindow/LabelPlacement.h"

#include <algorithm>

namespace orbimo {

namespace {
constexpr int kGap = 3;                       // between a marker and its label
constexpr int kLeaderSteps[] = {12, 24, 40};  // further out, with a leader line

PixelRect MarkerRect(std::int32_t x, std::int32_t y, int size) {
    const int half = size / 2;
    return {static_cast<int>(x) - half, static_cast<int>(y) - half,
            static_cast<int>(x) - half + size, static_cast<int>(y) - half + size};
}
}  // namespace

std::vector<PlacedLabel> PlaceLabels(const std::vector<LabelToPlace>& labels, int markerSize,
                                     int width, int height, const std::vector<PixelRect>& markers) {
    std::vector<PixelRect> taken = markers;
    for (const LabelToPlace& l : labels) taken.push_back(MarkerRect(l.x, l.y, markerSize));
    std::vector<PlacedLabel> placed;
    for (const LabelToPlace& l : labels) {
        const int x = static_cast<int>(l.x), y = static_cast<int>(l.y), w = l.width, h = l.height;
        const int near = markerSize / 2 + 1 + kGap;
        // The box's corner for a direction (dx, dy) at distance d from the marker's edge.
        auto at = [&](int dx, int dy, int d) {
            const int left = dx > 0 ? x + near + d : dx < 0 ? x - near - d - w : x - w / 2;
            const int top = dy > 0 ? y + near + d : dy < 0 ? y - near - d - h : y - h / 2;
            return PixelRect{left, top, left + w, top + h};
        };
        auto free = [&](const PixelRect& r) {
            return r.Inside(width, height) &&
                   std::none_of(taken.begin(), taken.end(),
                                [&](const PixelRect& t) { return t.Overlaps(r); });
        };
        PlacedLabel result;
        constexpr int kNear[4][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};
        for (const auto& [dx, dy] : kNear) {
            if (const PixelRect r = at(dx, dy, 0); free(r)) {
                result = {r, false, true};
                break;
            }
        }
        constexpr int kFar[8][2] = {{1, 0},  {-1, 0},  {0, -1}, {0, 1},
                                    {1, -1}, {-1, -1}, {1, 1},  {-1, 1}};
        for (int d : kLeaderSteps) {
            for (const auto& [dx, dy] : kFar) {
                if (result.shown) break;
                if (const PixelRect r = at(dx, dy, d); free(r)) result = {r, true, true};
            }
        }
        if (result.shown) taken.push_back(result.box);
        placed.push_back(result);
    }
    return placed;
}

}  // namespace orbimo
