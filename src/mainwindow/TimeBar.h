#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "mainwindow/PictureCoordinates.h"

namespace orbimo {

/// The time bar as the layers draw it: the groove, the handle's column and, while it is
/// dragged, the date it stands at.
struct TimeBarLayer {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::int32_t handle = 0;
    std::u16string label;
    bool operator==(const TimeBarLayer&) const = default;
};

/// The slim bar above the buttons that spans the recorded run while no run goes: dates along
/// it go linearly from the record's first to its last, so that a long quiet stretch of a
/// step-length run takes the room its time does.
class TimeBar {
  public:
    static constexpr int kHeight = 6, kGap = 10;   // pixels; the gap is above the buttons
    static constexpr int kHandle = 9, kReach = 6;  // the handle's width; a press this near counts

    /// Laid out from a third of the window's width to the buttons' right edge, above their top.
    void Place(int windowWidth, int buttonsRight, int buttonsTop);
    /// Whether a press at p takes the bar.
    bool Hit(Pixel p) const;
    /// The date at column x of a record from `first` to `last` (clamped to it).
    double DateAt(int x, double first, double last) const;
    /// The column of `date`.
    int ColumnOf(double date, double first, double last) const;
    /// The layer for the handle at `date`, with `label` beside it.
    TimeBarLayer Layer(double date, double first, double last, std::u16string label) const;

  private:
    int left_ = 0, right_ = 0, top_ = 0;
};

}  // namespace orbimo
