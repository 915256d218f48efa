#pragma once
#include <array>
#include <cstdint>
#include <limits>

#include "core/ProjectToPixel.h"
#include "core/SimState.h"
#include "display/Frame.h"
#include "display/PathHistory.h"
#include "platform/MemorySurface.h"
#include "platform/PixelSurface.h"

namespace orbimo {

/// Markers and traces on the main window's drawing area.
class Plotter {
  public:
    Plotter(SimState& state, PixelSurface& surface)
        : s_(state), surface_(surface), memory_(dynamic_cast<MemorySurface*>(&surface)) {}

    /// Saves the 3x3 block around (x, y) into body b's slots, paints it, records b in the trace
    /// map.
    void DrawMarker(std::int32_t x, std::int32_t y, int b, Colour colour);
    /// Puts back what body b's marker covered and leaves its trace pixel.
    void EraseMarker(int b);
    /// Wipes the picture and the trace map; the markers reappear (kept) or park at (0, 0).
    void Clear(bool keepMarkers);
    /// Rebuilds the picture from the trace map and the markers (a repaint request).
    void Repaint();
    /// The plotting step of one tick for body b at its new pixel; true when it moved.
    bool MoveTo(int b, std::int32_t x, std::int32_t y) {
        if (x == s_.LastPixX[b] && y == s_.LastPixY[b]) return false;
        if (memory_ && MoveOnMemory(b, x, y)) return true;
        EraseMarker(b);
        s_.LastPixX[b] = x;
        s_.LastPixY[b] = y;
        DrawMarker(x, y, b, kBlack);
        return true;
    }
    /// The plotting step of one tick: every body taking part at its pixel in the frame, and a
    /// snapshot into the history when any pixel changed.
    void PlotStep(const Frame& frame) {
        if (MoveAll(frame)) history_.Record(s_);
    }
    /// Every body taking part to its pixel in the frame; true when any moved.
    bool MoveAll(const Frame& frame) {
        bool moved = false;
        if (frame.kind == FrameKind::Body) {
            std::array<Pixel, kSlots> pixels;
            const unsigned computed = ProjectAll(s_, pixels);
            for (int b = 1; b <= s_.BodyCount; ++b) {
                // A body whose pixel cannot be computed is simply not drawn this tick.
                if (s_.BodyOn[b] != 1 || !((computed >> b) & 1u)) continue;
                const Pixel& p = pixels[static_cast<std::size_t>(b)];
                moved |= MoveTo(b, p.x, p.y);
            }
        } else {
            moved = PlotInFrame(frame);
        }
        return moved;
    }
    /// Draws the picture anew from the history at the record's scale and origin in the frame:
    /// at the view it was plotted at, exactly the picture plotted then. Only what was plotted
    /// before the moment ShowUntil set.
    void Rerender(const Frame& frame) { RerenderUntil(frame, until_, true); }
    /// The same with the snapshots before `time`; the markers end where the record's bodies
    /// are (`bodiesThere`) or at the last snapshot drawn.
    void RerenderUntil(const Frame& frame, double time, bool bodiesThere);
    /// The picture shows the run up to the moment `time` from now on (infinity: all of it),
    /// the history keeping what follows until a run goes on from there.
    void ShowUntil(double time) { until_ = time; }
    double ShownUntil() const { return until_; }
    /// A run goes on from the moment `time`: what the history holds from it on goes.
    void DropHistoryFrom(double time) {
        history_.TruncateFrom(time);
        until_ = kForever;
    }
    static constexpr double kForever = std::numeric_limits<double>::infinity();
    const PathHistory& History() const { return history_; }
    /// How many times the picture was cleared: what follows the picture starts again with it.
    std::uint64_t Clears() const { return clears_; }
    /// Whether body b's marker stands on the surface now (at its slots' place).
    bool MarkerShown(int b) const { return shown_[static_cast<std::size_t>(b)]; }

  private:
    // The same steps on any surface; a memory surface is called without virtual calls,
    // since a run draws every tick.
    template <class Surface>
    void DrawMarkerOn(Surface& surface, std::int32_t x, std::int32_t y, int b, Colour colour);
    template <class Surface>
    void EraseMarkerOn(Surface& surface, int b);
    template <class Surface>
    void RepaintTracesOn(Surface& surface);
    /// MoveTo on the memory surface when both markers lie wholly inside it or wholly outside;
    /// false otherwise.
    bool MoveOnMemory(int b, std::int32_t x, std::int32_t y);
    /// Its steps for markers in the 5 x 5 pixels from (left, top).
    void MoveWithin(int b, std::int32_t x, std::int32_t y, std::int32_t left, std::int32_t top);

    bool PlotInFrame(const Frame& frame);

    SimState& s_;
    PixelSurface& surface_;
    MemorySurface* memory_;
    PathHistory history_;
    std::uint64_t clears_ = 0;
    std::array<bool, kSlots> shown_{};
    double until_ = kForever;
};

}  // namespace orbimo
