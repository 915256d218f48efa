#pragma once
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/OrbitalElements.h"
#include "mainwindow/EqualAreas.h"
#include "mainwindow/GraphSamples.h"
#include "mainwindow/MainWindowLogic.h"
#include "mainwindow/MeasuringTape.h"

namespace orbimo {

/// What the orbit window and its layers show: which body about which centre, and which layers.
struct OrbitChoice {
    int body = 0;    // 0: none
    int centre = 0;  // 0: the heaviest body taking part
    bool ellipse = false;
    bool areas = false;
    bool thirdLaw = false;
    int sectors = 12;  // a period
};

struct WindowPoint {
    double x = 0, y = 0;  // window pixels
    bool operator==(const WindowPoint&) const = default;
};

/// The teaching layers over the picture, in window pixels and texts; drawn after the others.
struct TeachingLayers {
    std::vector<WindowPoint> ellipse;  // closed; empty when off or the orbit does not close
    std::optional<WindowPoint> focus;  // the centre, one focus of the ellipse
    struct Sector {
        std::vector<WindowPoint> outline;  // from the focus along the path and back
        int tint = 0;                      // 0 or 1, alternating
        std::u16string area;               // in areaUnit; empty while it is being swept
        WindowPoint label;
        bool operator==(const Sector&) const = default;
    };
    std::vector<Sector> sectors;
    std::u16string areaUnit;                              // of every sector's area
    std::vector<std::array<std::u16string, 4>> thirdLaw;  // the head row first
    std::optional<std::array<WindowPoint, 2>> tape;
    std::u16string tapeText;
    bool operator==(const TeachingLayers&) const = default;
};

/// The teaching tools over the main window's logic: the graphs' samples, the equal areas, the
/// measuring tape and the orbit chosen. Sampled at display rate, never per tick.
class Teaching {
  public:
    GraphSamples& Graphs() { return graphs_; }
    const GraphSamples& Graphs() const { return graphs_; }
    const EqualAreas& Areas() const { return areas_; }
    MeasuringTape& Tape() { return tape_; }
    const OrbitChoice& Choice() const { return choice_; }
    /// A new choice; the sectors start again when the body, the centre or their count changed
    /// or they were switched on.
    void Choose(const OrbitChoice& c);

    /// The graphs' and the sectors' samples of the record now; a cleared picture starts both
    /// again.
    void Sample(const MainWindowLogic& logic);
    /// The centre in use: the one chosen, or else the heaviest body taking part.
    int Centre(const SimState& s) const;
    /// The chosen body's elements about the centre now.
    std::optional<OrbitalElements> Elements(const MainWindowLogic& logic) const;
    TeachingLayers Layers(const MainWindowLogic& logic) const;

  private:
    GraphSamples graphs_;
    EqualAreas areas_;
    MeasuringTape tape_;
    OrbitChoice choice_;
    std::uint64_t clears_ = 0;
};

/// A distance as the scale bar would name it: км, млн км or а. е.; «∞» when infinite.
std::u16string DistanceText(double metres);
/// A time span in ч, сут or лет; «∞» when infinite.
std::u16string SpanText(double seconds);
/// The unit areas like this one are written in: км², млн км² or а. е.².
struct AreaUnit {
    double squareMetres;
    const char16_t* name;
};
AreaUnit AreaUnitFor(double squareMetres);
/// The finished sectors' areas, smallest and largest, as the orbit window writes them.
std::u16string SectorAreasText(const EqualAreas& areas);
/// The elements as the orbit window lists them: a label and a text each, «—» where none.
std::vector<std::pair<std::u16string, std::u16string>> ElementLines(
    const std::optional<OrbitalElements>& o);
/// Kepler's third law for every body taking part about the centre: a, T and T²/a³ in а. е.
/// and years, «—» for an orbit that does not close; the head row first.
std::vector<std::array<std::u16string, 4>> ThirdLawTable(const MainWindowLogic& logic, int centre);

}  // namespace orbimo
