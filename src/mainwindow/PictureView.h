#pragma once
#include "core/SimState.h"
#include "display/Frame.h"
#include "display/Plotter.h"
#include "params/ParamsModel.h"

namespace orbimo {

/// The scales zooming stays within, in metres per twip.
inline constexpr double kSmallestZoom = 1e-3, kLargestZoom = 1e16;
/// The smallest 1, 2 or 5 × 10ⁿ not below v (v > 0).
double RoundScaleUp(double v);

/// How the picture is seen: the scale, the view origin and the frame. Every change draws the
/// paths again from the history, never wiping them; a new scale is the run's and goes into
/// «Масштаб», so that the next run and a save use it.
class PictureView {
  public:
    PictureView(SimState& state, ParamsModel& params, Plotter& plotter)
        : s_(state), params_(params), plotter_(plotter) {}

    /// The main window's size and the top of its buttons, in twips.
    void SetWindow(double widthTwips, double heightTwips, double buttonsTop);
    /// The view origin where start-up puts it, the picture left as it is.
    void ResetOrigin();

    const Frame& CurrentFrame() const { return frame_; }
    void SetFrame(const Frame& f);
    /// Zooms in by `factor` about window pixel (px, py), which stays where it is.
    void ZoomAt(double px, double py, double factor);
    void PanBy(double dxPixels, double dyPixels);
    /// The view origin back where start-up puts it.
    void HomeOrigin();
    /// The round scale and the origin that show everything plotted (or, with nothing plotted,
    /// the bodies where the record holds them while `running`, else where the fields put them)
    /// above the buttons, with a margin.
    void Fit(bool running);

  private:
    /// The scale as its field shows it, so that the next run and a save use exactly this one.
    void SetZoom(double zoom);

    SimState& s_;
    ParamsModel& params_;
    Plotter& plotter_;
    Frame frame_;
    double width_ = 0, height_ = 0, buttonsTop_ = 0;
};

}  // namespace orbimo
