#pragma once
#include <cstdint>
#include <vector>

namespace orbimo {

/// A rectangle of pixels, its right and bottom edges outside it.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Overlaps(const PixelRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool Inside(int width, int height) const {
        return left >= 0 && top >= 0 && right <= width && bottom <= height;
    }
};

/// A label to place: its marker's centre and the size of its text's box.
struct LabelToPlace {
    std::int32_t x = 0, y = 0;
    int width = 0, height = 0;
};

/// Where a label went: its box, and whether a leader line joins it to its marker. Not shown when
/// no place around its marker was free.
struct PlacedLabel {
    PixelRect box;
    bool leader = false;
    bool shown = false;
};

/// Places each label in turn at the first free place around its marker: right, left, above,
/// below; then further out in those directions and the diagonals, joined by a leader line.
/// Free means on the picture of width × height and over no label placed before and no marker
/// (every label's marker, a square of `markerSize` pixels, and those in `markers` besides).
std::vector<PlacedLabel> PlaceLabels(const std::vector<LabelToPlace>& labels, int markerSize,
                                     int width, int height,
                                     const std::vector<PixelRect>& markers = {});

}  // namespace orbimo
