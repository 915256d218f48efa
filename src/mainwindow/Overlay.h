#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/MainWindowLogic.h"
#include "mainwindow/PictureCoordinates.h"
#include "mainwindow/TimeBar.h"
#include "platform/PixelSurface.h"

namespace orbimo {

/// Ticks and simulated time per real second, measured over about half a second.
class RateMeter {
  public:
    void Sample(double now, const MainWindowLogic& logic);
    double TicksPerSecond() const { return ticksPerSecond_; }
    double SimSecondsPerSecond() const { return simPerSecond_; }

  private:
    double since_ = -1, simAt_ = 0;
    std::int64_t ticksAt_ = 0;
    RunState stateAt_ = RunState::Idle;
    double ticksPerSecond_ = 0, simPerSecond_ = 0;
};

/// The layers over the picture: which ones, and the picture's width for the scale bar.
struct OverlayOptions {
    bool readout = true;    // the panel in the top left corner
    bool labels = false;    // each body's name by its marker, and the legend
    bool scaleBar = true;   // bottom left
    bool date = false;      // the simulated date in the bottom right corner (runner's pictures)
    bool bodies = false;    // the bodies where they stand while no run draws them
    int markerSize = 3;     // pixels a side of a marker as the layers draw it (projector mode)
    std::u16string hint;    // a line for a newcomer, under the readout
    bool arrows = false;    // each body's velocity as an arrow, while no run goes
    double arrowSpeed = 0;  // m/s per 100 pixels of arrow; 0: chosen from the fastest body
};

struct ReadoutLine {
    std::u16string text;
    bool warning = false;  // drawn in the warning colour
    bool operator==(const ReadoutLine&) const = default;
};
struct BodyLabel {
    std::int32_t x = 0, y = 0;  // the marker's centre
    std::u16string text;
    Colour colour = 0;
    bool operator==(const BodyLabel&) const = default;
};
/// A body drawn by the layers: where it stands when no run draws it, or a marker drawn larger.
struct BodyMarker {
    std::int32_t x = 0, y = 0;  // its centre
    bool operator==(const BodyMarker&) const = default;
};
/// A marker on the picture that no longer stands where its body does (parked by a clear, or the
/// body's position edited): shown as what it covers, the colours it saved.
struct CoveredMarker {
    std::int32_t x = 0, y = 0;            // its centre
    std::array<std::int32_t, 9> under{};  // row by row from the top left; not above 0: left as is
    bool operator==(const CoveredMarker&) const = default;
};
struct LegendEntry {
    std::u16string text;
    Colour colour = 0;
    bool operator==(const LegendEntry&) const = default;
};
struct ScaleBar {
    int pixels = 0;  // the bar's length
    std::u16string text;
    bool operator==(const ScaleBar&) const = default;
};

/// Everything drawn over the picture, as texts, colours and pixel positions.
/// A body's velocity, from its marker.
struct ArrowLayer {
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    Colour colour = 0;
    bool operator==(const ArrowLayer&) const = default;
};

struct Overlay {
    std::vector<ReadoutLine> readout;
    std::vector<ArrowLayer> arrows;
    std::u16string arrowScale;       // what 100 pixels of arrow stand for
    std::vector<BodyMarker> bodies;  // black squares of markerSize pixels
    int markerSize = 3;
    std::vector<CoveredMarker> covered;
    std::vector<BodyLabel> labels;
    std::vector<LegendEntry> legend;
    std::optional<ScaleBar> scaleBar;
    std::u16string date;
    std::optional<TimeBarLayer> timeBar;  // while no run goes and a run is recorded
    bool operator==(const Overlay&) const = default;
};

/// Beyond this relative drift of the total energy the step is probably too large.
inline constexpr double kDriftWarning = 1e-3;

/// What the readout warns of for the current or last run; nothing before the first run.
struct RunWarnings {
    double drift = 0;        // relative energy drift since the run started
    bool driftHigh = false;  // beyond kDriftWarning
    std::u16string pair;  // "Земля–Луна": the pair the step resolves worst, when it is too large
};
/// Cheap enough for display rate and the runner's progress points, never per tick.
RunWarnings CheckRun(const MainWindowLogic& logic);
/// The warnings as the runner prints them.
std::u16string DriftWarningText(double drift);
std::u16string PairWarningText(const std::u16string& pair);

/// The overlay for the main window's current state.
Overlay BuildOverlay(const MainWindowLogic& logic, const OverlayOptions& options,
                     const RateMeter& rates);

/// A bar of a round length (1, 2 or 5 × 10ⁿ км, млн км or а. е.) about a fifth of the width.
std::optional<ScaleBar> ScaleBarFor(double metresPerPixel, int pictureWidth);

/// Simulated time per real second in the unit that suits it: "3,2 сут/с".
std::u16string SimRateText(double simSecondsPerSecond);

}  // namespace orbimo
