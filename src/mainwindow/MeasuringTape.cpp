#include "mainwindow/MeasuringTape.h"

#include <cmath>
#include <numbers>

#include "convert/NumberText.h"
#include "mainwindow/Overlay.h"

namespace orbimo {

namespace {

// The inverse of the projection: pixel = (offset / zoom + origin) / twips per pixel.
double Metres(double pixel, double twipsPerPixel, double origin, double zoom) {
    return (pixel * twipsPerPixel - origin) * zoom;
}

}  // namespace

void MeasuringTape::Begin(const SimState& s, const Frame& frame, double px, double py) {
    frame_ = frame;
    shown_ = true;
    x0_ = x1_ = Metres(px, s.TwipsPerPixelX, s.OriginX, s.Zoom);
    y0_ = y1_ = Metres(py, s.TwipsPerPixelY, s.OriginY, s.Zoom);
}

void MeasuringTape::DragTo(const SimState& s, double px, double py) {
    x1_ = Metres(px, s.TwipsPerPixelX, s.OriginX, s.Zoom);
    y1_ = Metres(py, s.TwipsPerPixelY, s.OriginY, s.Zoom);
}

std::array<double, 4> MeasuringTape::Ends(const SimState& s) const {
    auto px = [&s](double m) { return (m / s.Zoom + s.OriginX) / s.TwipsPerPixelX; };
    auto py = [&s](double m) { return (m / s.Zoom + s.OriginY) / s.TwipsPerPixelY; };
    return {px(x0_), py(y0_), px(x1_), py(y1_)};
}

double MeasuringTape::Length() const {
    return std::hypot(x1_ - x0_, y1_ - y0_);
}

double MeasuringTape::Angle() const {
    // The picture's rows run down, the same way as its y.
    return std::atan2(-(y1_ - y0_), x1_ - x0_) * 180 / std::numbers::pi;
}

std::u16string MeasuringTape::Text(double metresPerPixel, int pictureWidth) const {
    struct Unit {
        double metres;
        const char16_t* name;
    };
    static constexpr Unit kUnits[] = {{kAstroUnitMetres, u"а. е."}, {1e9, u"млн км"}, {1e3, u"км"}};
    Unit unit{1, u"м"};
    // The unit the scale bar has chosen, read off its text.
    if (const auto bar = ScaleBarFor(metresPerPixel, pictureWidth))
        for (const Unit& u : kUnits)
            if (bar->text.ends_with(std::u16string(u" ") + u.name)) {
                unit = u;
                break;
            }
    const double length = Length() / unit.metres;
    return (length >= 1000 && length < 1e15 ? GroupedInteger(std::llround(length))
                                            : ShortNumber(length, 4)) +
           u" " + unit.name + u", " + ShortNumber(Angle(), 3) + u"°";
}

}  // namespace orbimo
