#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/SimState.h"
#include "display/Frame.h"

namespace orbimo {

/// Where every body was at one moment of the plot.
struct Snapshot {
    double time = 0;
    BodyMask on = 0;  // the bodies taking part then
    BodyDoubles x{}, y{};
};

/// The positions behind the current picture: a snapshot whenever a body's pixel changed, so
/// that the picture can be drawn again at another scale, origin or frame. Its memory is
/// bounded: when full, the oldest half of the snapshots not yet thinned loses every other one,
/// and once all are thinned new ones are kept half as often, so a long run keeps its shape.
class PathHistory {
  public:
    explicit PathHistory(std::size_t maxBytes = std::size_t{64} << 20);

    /// A new plot: markers parked in the corner (`kept` false) or kept at the positions in s.
    void Clear(const SimState& s, bool kept);
    void Record(const SimState& s);

    const std::vector<Snapshot>& Snapshots() const { return snapshots_; }
    /// The plot's start: the bodies and their positions when it was cleared.
    const Snapshot& Start() const { return start_; }
    bool StartKept() const { return kept_; }
    /// The memory the snapshots hold.
    std::size_t Bytes() const { return snapshots_.capacity() * sizeof(Snapshot); }
    std::size_t Capacity() const { return capacity_; }

  private:
    std::size_t capacity_;  // snapshots
    std::vector<Snapshot> snapshots_;
    std::size_t sparse_ = 0;                // the leading snapshots already thinned this round
    std::size_t stride_ = 1, skipped_ = 0;  // one change in `stride_` is kept
    Snapshot start_;
    bool kept_ = false;
};

Snapshot SnapshotOf(const SimState& s);

}  // namespace orbimo
