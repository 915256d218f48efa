#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace orbimo {

/// A sector of Kepler's second law: the path a body took about its centre over one equal span
/// of time, and the area its radius swept meanwhile.
struct AreaSector {
    std::int64_t index = 0;                   // 0 for the first span after switching on
    std::vector<std::array<double, 2>> path;  // relative to the centre, m
    double area = 0;                          // m², positive turning from +x towards +y
    bool complete = false;                    // its span has passed
};

/// Kepler's second law on the path the run really takes: from the first sample on, the time is
/// cut into equal spans, `count` to the period the orbit had then, and each span's swept area
/// is added up from the samples, ½·∫(x·vy − y·vx) dt, which a third body's pull changes. The
/// samples come at display rate; between two of them the path is drawn along the cubic that has
/// their positions and velocities. The last `count` sectors are kept: one revolution, the
/// last of them being swept.
class EqualAreas {
  public:
    /// Sweeping starts afresh with the next sample.
    void Start(int count);
    /// The body's position and velocity relative to the centre at time t, and mu = G·(m + M).
    void Add(double t, double mu, double x, double y, double vx, double vy);
    bool Started() const { return spanTime_ > 0; }
    /// Whether the orbit at the first sample did not close: nothing is swept.
    bool Open() const { return open_; }
    /// The time each sector spans.
    double SpanTime() const { return spanTime_; }
    int Count() const { return count_; }
    const std::deque<AreaSector>& Sectors() const { return sectors_; }

  private:
    struct Point {
        double t, x, y, vx, vy;
    };
    /// Goes on along the cubic from last_ to p up to time `until`, adding path and area.
    void SweepTo(const Point& p, double until);

    int count_ = 12;
    double spanTime_ = 0, start_ = 0;
    bool open_ = false, first_ = true;
    Point last_{};
    double swept_ = 0;  // the time of the path's end, between last_ and the next sample
    std::deque<AreaSector> sectors_;
};

}  // namespace orbimo
