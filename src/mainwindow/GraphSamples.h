#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Totals.h"
#include "mainwindow/MainWindowLogic.h"

namespace orbimo {

/// The bodies' totals and where each body was, at one moment of the run.
struct GraphSample {
    double time = 0;
    Totals totals;
    std::array<double, kBodies> x{}, y{}, speed{};  // body b at [b − 1]
    std::uint16_t on = 0;                           // bit b: body b took part
};

/// What a graph shows against simulated time.
enum class GraphQuantity : std::uint8_t {
    Energy,                // kinetic, potential and total
    EnergyDrift,           // (E − E₀) / |E₀| since the graph's first sample
    AngularMomentum,       // the total about the origin
    AngularMomentumDrift,  // |L − L₀| / |L₀|
    Distance,              // between two bodies
    Speed,                 // of one body
};

/// One curve of a graph: its values at the samples' times (NaN where it has none).
struct GraphCurve {
    std::u16string name;
    std::vector<double> values;
};

/// The samples the graphs are drawn from: taken at display rate while a run goes, never per
/// tick, and cleared with the picture (a system loaded, «Очистить»). Bounded: when full, every
/// other sample goes and from then on samples are kept half as often, as the path history does.
class GraphSamples {
  public:
    static constexpr std::size_t kCapacity = 65536;
    explicit GraphSamples(std::size_t capacity = kCapacity) : capacity_(capacity) {}

    /// A sample of the record now, with the velocities at the positions' moment, once a run has
    /// ticked and whenever simulated time has moved since the last one; everything before goes
    /// when the picture was cleared. Drifts are measured from the totals the run started with,
    /// as the readout and the runner measure them.
    void Sample(const MainWindowLogic& logic);
    /// Adds a sample (kept one in `stride`), thinning when full.
    void Add(const GraphSample& s);
    void Clear();
    void SetReference(const Totals& t) { reference_ = t; }
    const std::vector<GraphSample>& Samples() const { return samples_; }
    /// Samples are kept one in this many.
    std::size_t Stride() const { return stride_; }

    /// The samples' times, and the curves of a quantity (bodies a and b for a distance, a for a
    /// speed) with their Russian names.
    std::vector<double> Times() const;
    std::vector<GraphCurve> Curves(GraphQuantity q, int a, int b) const;

  private:
    std::size_t capacity_;
    std::vector<GraphSample> samples_;
    Totals reference_;  // what the drifts are measured from
    std::size_t stride_ = 1, skipped_ = 0;
    std::uint64_t clears_ = 0;
    bool seen_ = false;
};

/// The Russian name of a quantity and of its unit ("Дж").
std::u16string QuantityName(GraphQuantity q);
std::u16string QuantityUnit(GraphQuantity q);

/// The points a polyline through (x[i], y[i]) needs to look the same `width` pixels wide over
/// [x0, x1]: in each pixel column the first, lowest, highest and last point, in order. A value
/// that is not finite breaks the line: it stays as a NaN point.
std::vector<std::array<double, 2>> Decimate(const std::vector<double>& x,
                                            const std::vector<double>& y, double x0, double x1,
                                            int width);

/// Round tick values (1, 2 or 5 × 10ⁿ apart) within [lo, hi], at most about `count` of them.
std::vector<double> NiceTicks(double lo, double hi, int count);

}  // namespace orbimo
