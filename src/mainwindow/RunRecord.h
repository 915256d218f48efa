#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>

#include "core/SimState.h"
#include "mainwindow/LeapfrogStart.h"

namespace orbimo {

/// Everything the next tick of a run reads: a run put back to it goes on exactly as it went.
struct RunPoint {
    BodyDoubles mass{}, posX{}, posY{}, velX{}, velY{};
    std::array<std::int16_t, kSlots> bodyOn{};
    double timeStep = 0, stepLength = 0, simTime = 0;
    std::int64_t runTicks = 0;  // of its own run: the leapfrog start counts by them
    bool stepLong = false;
    LeapfrogStart::State leapfrog;
};

RunPoint TakeRunPoint(const SimState& s, const LeapfrogStart& halfSteps, std::int64_t runTicks,
                      bool stepLong);
/// The bodies, the steps, the clock and the leapfrog start as the point holds them.
void PutRunPoint(const RunPoint& p, SimState& s, LeapfrogStart& halfSteps);

enum class CheckpointKind : std::uint8_t {
    Tick,     // every Every() ticks; thinned when the record is full
    Start,    // a run began here, after its leapfrog step back
    Edit,     // a body changed between this tick and the next: no earlier point replays it
    End,      // a run ended here, before its closing half step
    Stopped,  // the system as that run's end left it: shown, never gone on from
};

struct Checkpoint {
    std::int64_t tick;  // ticks since the record began
    CheckpointKind kind;
    RunPoint point;
};

/// The run's states at intervals, so that any tick can be computed again from the last one
/// before it with the same arithmetic. Its memory is bounded: when full, every other regular
/// checkpoint goes and they are taken half as often; the others are never thinned, since a
/// point before them would not replay what they mark.
class RunRecord {
  public:
    static constexpr std::size_t kMaxBytes = std::size_t{16} << 20;

    explicit RunRecord(std::size_t maxBytes = kMaxBytes, std::int64_t every = 1024);

    void Clear();
    bool Empty() const { return points_.empty(); }
    /// A new record whose first point is `point` at `tick`.
    void Begin(std::int64_t tick, const RunPoint& point);
    void Add(std::int64_t tick, CheckpointKind kind, const RunPoint& point);
    /// The tick the next regular checkpoint is due at.
    std::int64_t NextDue() const { return next_; }
    std::int64_t Every() const { return every_; }

    /// The point tick `tick` is computed from: the last at or before it, but none of a change
    /// made after that tick.
    const Checkpoint* From(std::int64_t tick) const;
    /// The same for the first tick whose clock reaches `date`: the last point before it.
    const Checkpoint* FromDate(double date) const;
    /// The system as a run that stopped at `tick` left it, when one did.
    const Checkpoint* StoppedAt(std::int64_t tick) const;
    /// A run goes on from `tick`: what the record held after it goes.
    void TruncateAfter(std::int64_t tick);
    /// A fault ended the record: no run goes on from its end.
    void Close() { open_ = false; }
    bool Open() const { return open_; }

    std::int64_t FirstTick() const { return points_.front().tick; }
    std::int64_t LastTick() const { return points_.back().tick; }
    double FirstDate() const { return points_.front().point.simTime; }
    double LastDate() const { return points_.back().point.simTime; }
    const std::deque<Checkpoint>& Points() const { return points_; }
    /// The memory the checkpoints hold.
    std::size_t Bytes() const { return points_.size() * sizeof(Checkpoint); }

  private:
    void Thin();
    void Schedule();

    std::size_t maxPoints_;
    std::int64_t firstEvery_, every_, next_ = 0;
    // By tick; at one tick, in the order things happened. A deque: growing never copies the
    // points already kept (a vector's copies and fresh pages cost the run loop a few per cent).
    std::deque<Checkpoint> points_;
    bool open_ = true;
};

}  // namespace orbimo
