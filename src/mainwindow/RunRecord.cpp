#include "mainwindow/RunRecord.h"

#include <algorithm>

namespace orbimo {

RunPoint TakeRunPoint(const SimState& s, const LeapfrogStart& halfSteps, std::int64_t runTicks,
                      bool stepLong) {
    return RunPoint{s.Mass,     s.PosX,       s.PosY,    s.VelX,   s.VelY,   s.BodyOn,
                    s.TimeStep, s.StepLength, s.SimTime, runTicks, stepLong, halfSteps.GetState()};
}

void PutRunPoint(const RunPoint& p, SimState& s, LeapfrogStart& halfSteps) {
    s.Mass = p.mass, s.PosX = p.posX, s.PosY = p.posY, s.VelX = p.velX, s.VelY = p.velY;
    s.BodyOn = p.bodyOn;
    s.TimeStep = p.timeStep, s.StepLength = p.stepLength, s.SimTime = p.simTime;
    halfSteps.SetState(p.leapfrog);
}

RunRecord::RunRecord(std::size_t maxBytes, std::int64_t every)
    : maxPoints_(std::max<std::size_t>(maxBytes / sizeof(Checkpoint), 4)),
      firstEvery_(every),
      every_(every) {}

void RunRecord::Clear() {
    points_.clear();
    every_ = firstEvery_;
    next_ = 0;
    open_ = true;
}

void RunRecord::Begin(std::int64_t tick, const RunPoint& point) {
    Clear();
    Add(tick, CheckpointKind::Start, point);
}

void RunRecord::Add(std::int64_t tick, CheckpointKind kind, const RunPoint& point) {
    if (points_.size() >= maxPoints_) Thin();
    if (kind != CheckpointKind::Tick || points_.size() < maxPoints_)
        points_.push_back(Checkpoint{tick, kind, point});
    Schedule();
}

void RunRecord::Schedule() {
    const std::int64_t last = points_.empty() ? -1 : points_.back().tick;
    next_ = (last / every_ + 1) * every_;
}

// Regular checkpoints lie on multiples of every_: those on odd multiples go.
void RunRecord::Thin() {
    while (points_.size() >= maxPoints_) {
        const std::size_t before = points_.size();
        every_ *= 2;
        std::erase_if(points_, [this](const Checkpoint& c) {
            return c.kind == CheckpointKind::Tick && c.tick % every_ != 0;
        });
        if (points_.size() == before &&
            std::none_of(points_.begin(), points_.end(),
                         [](const Checkpoint& c) { return c.kind == CheckpointKind::Tick; }))
            break;  // only points that must stay
    }
}

namespace {
bool Replayable(const Checkpoint& c) {
    return c.kind != CheckpointKind::Stopped;
}
// A change at a tick happened after it: the tick itself is computed from before the change.
bool AtTickItself(const Checkpoint& c) {
    return c.kind == CheckpointKind::Tick || c.kind == CheckpointKind::End;
}
}  // namespace

const Checkpoint* RunRecord::From(std::int64_t tick) const {
    for (auto c = points_.rbegin(); c != points_.rend(); ++c)
        if (Replayable(*c) && (c->tick < tick || (c->tick == tick && AtTickItself(*c)))) return &*c;
    return nullptr;
}

const Checkpoint* RunRecord::FromDate(double date) const {
    for (auto c = points_.rbegin(); c != points_.rend(); ++c)
        if (Replayable(*c) && c->point.simTime < date) return &*c;
    return nullptr;
}

const Checkpoint* RunRecord::StoppedAt(std::int64_t tick) const {
    for (auto c = points_.rbegin(); c != points_.rend() && c->tick >= tick; ++c)
        if (c->kind == CheckpointKind::Stopped && c->tick == tick) return &*c;
    return nullptr;
}

void RunRecord::TruncateAfter(std::int64_t tick) {
    // The record's own start stays, whatever its tick.
    std::size_t kept = std::min<std::size_t>(points_.size(), 1);
    for (std::size_t i = kept; i < points_.size(); ++i) {
        const Checkpoint& c = points_[i];
        const bool later = c.tick > tick || (c.tick == tick && !AtTickItself(c) &&
                                             c.kind != CheckpointKind::Stopped);
        if (!later) points_[kept++] = c;
    }
    points_.resize(kept);
    open_ = true;  // whatever ended the record is gone with it
    Schedule();
}

}  // namespace orbimo
