#pragma once

namespace orbimo {

struct ScreenInfo {
    double widthTwips = 0;
    double heightTwips = 0;
    double twipsPerPixelX = 15;  // before rounding to the record's integers
    double twipsPerPixelY = 15;
};

class ScreenMetrics {
  public:
    virtual ~ScreenMetrics() = default;
    virtual ScreenInfo Screen() const = 0;
};

}  // namespace orbimo
