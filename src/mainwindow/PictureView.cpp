#include "mainwindow/PictureView.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "convert/NumberText.h"
#include "display/Readout.h"

namespace orbimo {

void PictureView::SetWindow(double widthTwips, double heightTwips, double buttonsTop) {
    width_ = widthTwips;
    height_ = heightTwips;
    buttonsTop_ = buttonsTop;
}

void PictureView::ResetOrigin() {
    s_.OriginX = width_ / 2;
    s_.OriginY = height_ / 2 - height_ / 8;
}

void PictureView::SetFrame(const Frame& f) {
    if (f == frame_) return;  // the same picture (start-up sets the frame the user left)
    frame_ = f;
    plotter_.Rerender(frame_);
}

void PictureView::SetZoom(double zoom) {
    const std::u16string text = GroupedScaleText(zoom);
    s_.Zoom = ParseNumber(text).value_or(zoom);
    params_.scaleText = text;
    // Not the user's edit of the field: turning away from the window must not clear the plot.
    params_.scaleOnActivate = s_.Zoom;
    if (params_.changed) params_.changed();
}

void PictureView::ZoomAt(double px, double py, double factor) {
    const double zoom = s_.Zoom / factor;
    if (!(std::fabs(zoom) >= kSmallestZoom && std::fabs(zoom) <= kLargestZoom)) return;
    // The point under the cursor, in metres from the view origin, stays where it is.
    const double tx = (px + 0.5) * s_.TwipsPerPixelX, ty = (py + 0.5) * s_.TwipsPerPixelY;
    const double mx = (tx - s_.OriginX) * s_.Zoom, my = (ty - s_.OriginY) * s_.Zoom;
    SetZoom(zoom);
    s_.OriginX = tx - mx / s_.Zoom;
    s_.OriginY = ty - my / s_.Zoom;
    plotter_.Rerender(frame_);
}

void PictureView::PanBy(double dxPixels, double dyPixels) {
    s_.OriginX += dxPixels * s_.TwipsPerPixelX;
    s_.OriginY += dyPixels * s_.TwipsPerPixelY;
    plotter_.Rerender(frame_);
}

void PictureView::HomeOrigin() {
    ResetOrigin();
    plotter_.Rerender(frame_);
}

void PictureView::Fit(bool running) {
    // Everything the plot has shown, or, before a run, where the fields put the bodies.
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double left = kInf, right = -kInf, top = kInf, bottom = -kInf;
    auto take = [&](const BodyDoubles& x, const BodyDoubles& y, BodyMask on) {
        const FrameTransform t = TransformOf(frame_, s_, s_.ViewBody, x, y, on);
        for (int b = 1; b <= kBodies; ++b) {
            if (!(on & (1u << b))) continue;
            double dx = 0, dy = 0;
            FrameOffset(t, x, y, b, dx, dy);
            if (!std::isfinite(dx) || !std::isfinite(dy)) continue;
            left = std::min(left, dx), right = std::max(right, dx);
            top = std::min(top, dy), bottom = std::max(bottom, dy);
        }
    };
    const PathHistory& h = plotter_.History();
    h.ForEach([&](const Snapshot& snap) { take(snap.x, snap.y, snap.on); });
    if (h.Empty()) {
        Snapshot now;
        if (running) {
            now = SnapshotOf(s_);
        } else {
            for (int b = 1; b <= kBodies; ++b) {
                const BodyRow& row = params_.bodies[static_cast<std::size_t>(b)];
                const auto x = ParseNumber(row.x.text), y = ParseNumber(row.y.text);
                if (row.state != 1 || !x || !y) continue;
                now.x[b] = *x, now.y[b] = *y;
                now.on = static_cast<BodyMask>(now.on | (1u << b));
            }
        }
        take(now.x, now.y, now.on);
    }
    if (!(left <= right)) return;  // nothing to show
    // The room above the buttons, less a margin all round.
    const double roomTop = height_ * 0.05, room = buttonsTop_ - roomTop;
    const double width = width_ * 0.9, height = room * 0.95;
    const double needed = std::max((right - left) / width, (bottom - top) / height);
    double zoom = std::fabs(s_.Zoom);
    if (needed > 0) {
        zoom = RoundScaleUp(needed);
        if (zoom > kLargestZoom || zoom < kSmallestZoom) return;
    }
    if (s_.Zoom < 0) zoom = -zoom;  // a mirrored picture stays mirrored
    SetZoom(zoom);
    s_.OriginX = width_ / 2 - (left + right) / 2 / s_.Zoom;
    s_.OriginY = roomTop + room / 2 - (top + bottom) / 2 / s_.Zoom;
    plotter_.Rerender(frame_);
}

double RoundScaleUp(double v) {
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= v) return m * power;
    return 10 * power;
}

}  // namespace orbimo
