#pragma once
#include <array>
#include <cstdint>
#include <utility>

#include "core/AdvanceTick.h"
#include "core/SimState.h"

namespace orbimo {

/// The leapfrog start of a run: the velocities half a step behind the positions while it runs,
/// at the positions' moment again when it ends. The tick itself is the program's own; in
/// step-length mode, where the step changes every tick, each kick must span half the step the
/// velocities trail by and half the new one, so the room takes the step and kicks the difference.
class LeapfrogStart {
  public:
    explicit LeapfrogStart(SimState& state) : s_(state) {}

    /// Whether the record's velocities trail its positions now.
    bool Behind() const { return behind_; }
    /// Half a step back, with the step the next tick will take; `ticks`: the run's ticks so far.
    TickFault StepBack(bool stepLong, std::int64_t ticks);
    /// Forward again to the positions' moment.
    TickFault StepForward();
    /// Before tick number ticks + 1 of a run that is behind: a body switched on or off is taken
    /// forward with the bodies that were put back and back again with those taking part now;
    /// the record is kept, so that the run can end at the last good tick. In step-length mode
    /// it sets the tick's step (the step put back for the first tick after a step back, the
    /// rule's after that) and kicks by half the lag less half that step: the tick that follows
    /// must then be taken with the step as it stands.
    TickFault BeforeTick(bool stepLong, std::int64_t ticks);

    /// How the closing half step went.
    struct Ending {
        TickFault fault = TickFault::None;  // of the closing half step
        bool tickUndone = false;            // the last tick's start was put back instead
        bool lagging = false;               // the velocities could not be brought forward
    };
    /// The run ended after `ticks` ticks: forward to the positions' moment with the last tick's
    /// step. When the pull at the last positions cannot be computed, the last good state is the
    /// one before the last tick, whose pull that tick computed.
    Ending Finish(std::int64_t ticks);

    /// The velocities at the positions' moment (during a leapfrog run the record's trail them).
    std::pair<BodyDoubles, BodyDoubles> VelocitiesInStep() const;

    struct Record {
        BodyDoubles posX, posY, velX, velY;
        double timeStep, simTime, lag;
    };
    /// Everything the next tick and the closing half step read, so that a run put back to a
    /// moment goes on from it exactly.
    struct State {
        bool behind = false;
        double lag = 0;
        std::int64_t since = 0;
        std::array<std::int16_t, kSlots> on{};
        std::array<Record, 2> before{};
    };
    State GetState() const { return {behind_, lag_, since_, on_, before_}; }
    void SetState(const State& st) {
        behind_ = st.behind, lag_ = st.lag, since_ = st.since, on_ = st.on, before_ = st.before;
    }

  private:
    SimState& s_;
    bool behind_ = false;
    double lag_ = 0;  // the velocities trail the positions by half of this step
    std::int64_t since_ = 0;
    std::array<std::int16_t, kSlots> on_{};  // the bodies put back
    std::array<Record, 2> before_{};         // the record before each of the last two ticks
};

}  // namespace orbimo
