#include "mainwindow/LeapfrogStart.h"

#include "core/HalfKick.h"

namespace orbimo {

TickFault LeapfrogStart::StepBack(bool stepLong, std::int64_t ticks) {
    double dt = s_.TimeStep;
    TickFault f = stepLong ? StepFromLength(s_, dt) : TickFault::None;
    if (f == TickFault::None) f = HalfKick(s_, -0.5 * dt);
    if (f != TickFault::None) return f;
    behind_ = true;
    lag_ = dt;
    since_ = ticks;
    on_ = s_.BodyOn;
    return TickFault::None;
}

TickFault LeapfrogStart::StepForward() {
    std::swap(s_.BodyOn, on_);
    const TickFault f = HalfKick(s_, 0.5 * lag_);
    std::swap(s_.BodyOn, on_);
    if (f == TickFault::None) behind_ = false;
    return f;
}

TickFault LeapfrogStart::BeforeTick(bool stepLong, std::int64_t ticks) {
    if (s_.BodyOn != on_) {
        TickFault f = StepForward();
        if (f == TickFault::None) f = StepBack(stepLong, ticks);
        if (f != TickFault::None) return f;
    }
    // Two in turn: a tick that fails leaves the record before the last good one.
    before_[static_cast<std::size_t>((ticks + 1) & 1)] = {s_.PosX,     s_.PosY,    s_.VelX, s_.VelY,
                                                          s_.TimeStep, s_.SimTime, lag_};
    if (!stepLong) return TickFault::None;  // every step the same: the tick's kick is right
    // The first tick after a step back takes the step put back. Later ones take the rule's step
    // from the velocities the tick would take it from, and the tick's own kick by it and this
    // one together span half the lag and half the new step.
    double dt = lag_;
    if (ticks > since_) {
        TickFault f = StepFromLength(s_, dt);
        if (f == TickFault::None && dt != lag_) f = HalfKick(s_, 0.5 * lag_ - 0.5 * dt);
        if (f != TickFault::None) return f;
    }
    s_.TimeStep = dt;
    lag_ = dt;
    return TickFault::None;
}

LeapfrogStart::Ending LeapfrogStart::Finish(std::int64_t ticks) {
    Ending e;
    if (!behind_) return e;
    e.fault = StepForward();
    if (e.fault != TickFault::None) {
        if (ticks > since_) {
            const Record& b = before_[static_cast<std::size_t>(ticks & 1)];
            s_.PosX = b.posX, s_.PosY = b.posY, s_.VelX = b.velX, s_.VelY = b.velY;
            s_.TimeStep = b.timeStep, s_.SimTime = b.simTime, lag_ = b.lag;
            e.tickUndone = true;
        }
        e.lagging = StepForward() != TickFault::None;
    }
    behind_ = false;
    return e;
}

std::pair<BodyDoubles, BodyDoubles> LeapfrogStart::VelocitiesInStep() const {
    std::pair v{s_.VelX, s_.VelY};
    if (behind_) KickInto(s_, 0.5 * lag_, v.first, v.second);
    return v;
}

}  // namespace orbimo
